// CPU seconds used by a 10-second reply wait with no data arriving, on a
// connected loopback socket (a listening server that never answers). The
// keep-alive timer runs as the engine has it during a reply wait.
#include "CpuTime.h"
#include "FakeView.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("ZELDL_TIME_SCALE", "1");
    QCoreApplication app(argc, argv);
    QTcpServer printer;
    if (!printer.listen(QHostAddress::LocalHost))
        return 1;

    SharedState state;
    state.ipAddress = QStringLiteral("127.0.0.1");
    state.ipPort = printer.serverPort();
    FakeView view;
    SocketControl control;
    SocketLink link(state, view, control);
    if (!link.connectToPrinter())
        return 1;

    QByteArray reply;
    float timeout = 10.0f;
    QElapsedTimer real;
    real.start();
    const double before = cpuSeconds();
    link.setKeepAlive(true);
    const int result = link.receive(reply, 14, timeout);
    link.setKeepAlive(false);
    const double used = cpuSeconds() - before;
    std::printf("socket_wait: result %d after %.2f s real, %.4f s CPU (target < 0.05 s)\n", result,
                double(real.elapsed()) / 1000.0, used);
    link.closeConnection();
    return used < 0.05 ? 0 : 2;
}

// CPU seconds used by a 10-second reply wait with no data arriving, on an
// open serial port (a pseudo-terminal with no printer behind it).
#include "CpuTime.h"
#include "FakeView.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SharedState.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <pty.h>
#include <unistd.h>

int main(int argc, char *argv[]) {
    qputenv("ZELDL_TIME_SCALE", "1");
    QCoreApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return 1;
    qputenv("ZELDL_COM1", name);

    SharedState state;
    FakeView view;
    SerialPortControl port;
    SerialLink link(state, port, view);
    link.configurePort();
    if (!port.isOpen())
        return 1;

    QByteArray reply;
    float timeout = 10.0f;
    QElapsedTimer real;
    real.start();
    const double before = cpuSeconds();
    const int result = link.receive(reply, 14, timeout);
    const double used = cpuSeconds() - before;
    std::printf("wait_cpu: result %d after %.2f s real, %.4f s CPU (target < 0.05 s)\n", result,
                double(real.elapsed()) / 1000.0, used);
    ::close(master);
    ::close(slave);
    return used < 0.05 ? 0 : 2;
}

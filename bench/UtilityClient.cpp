#include "UtilityClient.h"

#include "DownloadSet.h"
#include "FakeView.h"
#include "FileSender.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"
#include "StatusHistory.h"
#include "Stopwatch.h"
#include "TrafficPane.h"
#include "TrafficRecorder.h"

#include <cstdio>
#include <memory>

namespace {
// Puts each status text into the status history, as the window does.
struct HistoryView : FakeView {
    StatusHistory history;
    void setStatus(const QString &text) override {
        FakeView::setStatus(text);
        history.record(text);
    }
};

// Both links exist, as in the window; the mode picks the one that is used.
struct Links {
    SharedState state;
    HistoryView view;
    SerialPortControl port;
    SerialLink serial{state, port, view};
    SocketControl socketControl;
    SocketLink socket{state, view, socketControl};
    TrafficRecorder recorder;
    std::unique_ptr<TrafficPane> pane;

    explicit Links(UtilityClient::Trace trace) {
        if (trace != UtilityClient::Trace::None) {
            serial.setTrafficRecorder(&recorder);
            socket.setTrafficRecorder(&recorder);
        }
        if (trace == UtilityClient::Trace::Shown) {
            // The window's own pane, open: it polls the recorder and paints.
            pane = std::make_unique<TrafficPane>(recorder, view.history);
            pane->resize(900, 600);
            pane->show();
        }
        // Off, as FileSender leaves it after each reply wait; it switches
        // it on around every one.
        socket.setKeepAlive(false);
        state.handshaking = 0;
        state.replyTimeout = 30.0f;
    }

    Elapsed transfer(const QString &application) {
        DownloadSet set;
        set.setApplication(application);
        FileSender sender(state, set, view, serial, socket);
        const Stopwatch stopwatch;
        sender.send(FileSender::Kind::Application, application, set.applicationName());
        const Elapsed elapsed = stopwatch.stop();
        if (view.current == QLatin1String("Download Finished"))
            return elapsed;
        std::fprintf(stderr, "transfer ended with: %s\n", qPrintable(view.current));
        return {};
    }
};
} // namespace

namespace UtilityClient {

Elapsed overSerial(const QString &tty, const QString &application, Trace trace) {
    qputenv("ZELDL_COM1", tty.toLocal8Bit());
    Links links(trace);
    links.state.mode = 0;
    links.serial.configurePort();
    if (!links.port.isOpen())
        return {};
    return links.transfer(application);
}

Elapsed overTcp(quint16 port, const QString &application, Trace trace) {
    Links links(trace);
    links.state.mode = 1;
    links.state.ipAddress = QStringLiteral("127.0.0.1");
    links.state.ipPort = port;
    if (!links.socket.connectToPrinter())
        return {};
    const Elapsed elapsed = links.transfer(application);
    links.socket.closeConnection();
    return elapsed;
}

} // namespace UtilityClient

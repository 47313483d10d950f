#include "FakeView.h"
#include "LinkTimers.h"
#include "PrinterModels.h"
#include "PtyPair.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"

#include <QTest>

// The serial link with a pseudo-terminal standing in for the printer.
class tst_SerialLink : public QObject {
    Q_OBJECT

    static char flag(bool on, char letter) { return on ? letter : '.'; }

private Q_SLOTS:
    // What the link leaves after an event: a line event (by its code), a
    // receive on a port never opened (the reply stays as it was), or the end
    // of the keypad reset's delay. No reset goes out in these rows: not for
    // the keypad itself, for another model, nor when the link stopped during
    // the delay (the resets themselves run end to end). Flags: stop asked,
    // break seen, download error, progress shown, Download commands enabled.
    void events_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("facts"); // the last status|flags
        for (const PrinterModel &model : PrinterModels::all()) {
            const bool stops = model.index == Printers::Q410 || model.index == Printers::Q415;
            QTest::addRow("1001 break %s", model.listText)
                << int(model.index) << "1001" << (stops ? "Check Printer...|SB..." : "|...P.");
        }
        const auto row = [](const char *name, int printer, const char *event, const char *facts) {
            QTest::newRow(name) << printer << QString(event) << QString(facts);
        };
        row("1004 framing", 0, "1004", "Framing error |..EP.");
        row("1006 overrun", 0, "1006", "Data Lost |...P.");
        row("1008 overflow", 0, "1008", "Receive buffer overflow |...P.");
        row("1009 parity", 0, "1009", "Parity error |...P.");
        row("receive, port not open", 0, "receive", " Comm port not open|..EP.");
        row("reset, keypad itself", 3, "reset", "|...PD");
        row("reset, stopped in the delay", 3, "reset passThru stopped", "|S..PD");
        row("reset, another model", 0, "reset passThru", "|...P.");
    }
    void events() {
        QFETCH(int, printer);
        QFETCH(QString, event);
        PtyPair pty;
        qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
        SharedState state;
        FakeView view;
        SerialPortControl port;
        SerialLink link{state, port, view};
        state.printer = qint16(printer);
        view.passThru = event.contains("passThru");
        state.abortRequested = event.contains("stopped");
        SocketControl control;
        SocketLink socket(state, view, control);
        LinkTimers timers(state, link, socket, view);
        QByteArray reply = "kept";
        float timeout = 1000; // clock seconds
        if (event == "receive") {
            QCOMPARE(link.receive(reply, 14, timeout), qint16(-2));
        } else if (event.startsWith("reset")) {
            link.configurePort();
            QVERIFY(pty.write("stray")); // dropped unseen: no trace is kept
            QTRY_VERIFY(port.inBufferCount() > 0);
            link.clearInput();
            timers.startResetDelay();
            QTRY_VERIFY(!timers.resetTimer().isActive());
        } else {
            Q_EMIT port.commEvent(event.toInt());
        }
        QTEST(view.current + '|' + flag(state.abortRequested, 'S') + flag(state.breakSeen, 'B') +
                  flag(state.downloadError, 'E') + flag(view.progressVisible, 'P') +
                  flag(view.downloadEnabled, 'D'),
              "facts");
        // Nothing on the line, the reply as it was.
        QCOMPARE(pty.readAvailable() + reply, "kept");
    }
};

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"

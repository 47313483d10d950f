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

namespace {
// The serial link with a pseudo-terminal standing in for the printer.
struct Rig {
    PtyPair pty;
    SharedState state;
    FakeView view;
    SerialPortControl port;
    SerialLink link{state, port, view};
    Rig() { qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit()); }
};
} // namespace

class tst_SerialLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A reply that comes before the wait starts is kept, stray bytes that
    // came before the packet went out are not; a port never opened fails.
    void receive_data() {
        QTest::addColumn<bool>("open");
        QTest::newRow("reply before the wait") << true;
        QTest::newRow("closed port") << false;
    }
    void receive() {
        QFETCH(bool, open);
        Rig rig;
        const QByteArray reply = open ? "0123456789ABCD" : "kept";
        if (open) {
            rig.link.configurePort();
            rig.pty.write("STRAY");
            QTRY_COMPARE(rig.port.inBufferCount(), qint64(5));
            rig.link.send("{X}");
            QByteArray sent;
            QTRY_COMPARE(sent += rig.pty.readAvailable(0), QByteArray("{X}"));
            rig.pty.write(reply);
            QTRY_COMPARE(rig.port.inBufferCount(), qint64(14));
        }
        QByteArray received = "kept";
        float timeout = 1000; // clock seconds
        QCOMPARE(rig.link.receive(received, 14, timeout), qint16(open ? 0 : -2));
        QCOMPARE(received, reply);
        QCOMPARE(rig.view.current, QString(open ? "Status - -99" : " Comm port not open"));
        QCOMPARE(rig.state.downloadError, !open);
    }

    void lineEvent_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("stops");
        QTest::addColumn<bool>("error");
        for (const PrinterModel &model : PrinterModels::all()) {
            const bool stops = model.index == Printers::Q410 || model.index == Printers::Q415;
            QTest::addRow("1001 break %s", model.listText)
                << int(model.index) << 1001 << (stops ? "Check Printer..." : "") << stops << false;
        }
        QTest::newRow("1004 framing") << 0 << 1004 << "Framing error " << false << true;
        QTest::newRow("1006 overrun") << 0 << 1006 << "Data Lost " << false << false;
        QTest::newRow("1008 overflow") << 0 << 1008 << "Receive buffer overflow " << false << false;
        QTest::newRow("1009 parity") << 0 << 1009 << "Parity error " << false << false;
    }
    void lineEvent() {
        QFETCH(int, printer);
        QFETCH(int, code);
        QFETCH(QString, status);
        QFETCH(bool, stops);
        QFETCH(bool, error);
        Rig rig;
        rig.state.printer = qint16(printer);
        Q_EMIT rig.port.commEvent(code);
        QCOMPARE(rig.view.current, status);
        QCOMPARE(rig.state.abortRequested, stops);
        QCOMPARE(rig.state.breakSeen, stops);
        QCOMPARE(rig.state.downloadError, error);
        QCOMPARE(rig.view.progressVisible, !stops);
    }

    // No keypad reset for the keypad itself, for another model, nor when the
    // link stopped during the delay (the Download commands come back all the
    // same); the resets themselves run end to end.
    void keypadReset_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("passThrough");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("keypad itself") << 3 << false << false << true;
        QTest::newRow("stopped during the delay") << 3 << true << true << true;
        QTest::newRow("another model") << 0 << true << false << false;
    }
    void keypadReset() {
        QFETCH(int, printer);
        QFETCH(bool, passThrough);
        QFETCH(bool, stopped);
        Rig rig;
        rig.link.configurePort();
        rig.state.printer = qint16(printer);
        rig.view.passThru = passThrough;
        rig.state.abortRequested = stopped;
        SocketControl control;
        SocketLink socket(rig.state, rig.view, control);
        socket.setKeepAlive(false);
        LinkTimers timers(rig.state, rig.link, socket, rig.view);
        timers.startResetDelay();
        QTRY_VERIFY(!timers.resetTimer().isActive());
        QCOMPARE(rig.pty.readAvailable(), QByteArray());
        QCOMPARE(rig.view.current, QString());
        QTEST(rig.view.downloadEnabled, "enabled");
    }
};

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"

#include "Clock.h"
#include "FakeView.h"
#include "LinkTimers.h"
#include "PrinterModels.h"
#include "PtyPair.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QTest>
#include <QTimer>

namespace {
// The serial link with a pseudo-terminal standing in for the printer.
struct Rig {
    PtyPair pty;
    SharedState state;
    FakeView view;
    SettingsStore store;
    SerialPortControl port;
    SerialLink link{state, store, port, view};
    Rig() { qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit()); }
};
} // namespace

class tst_SerialLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void receive_data() {
        // Bytes that arrived before the call are discarded in every row.
        QTest::addColumn<float>("timeout"); // clock seconds, 10 ms real each
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("exactly 14 arrive") << 1000.0f << 0 << QByteArray("0123456789ABCD");
        QTest::newRow("nothing arrives") << 2.0f << -1 << QByteArray();
        QTest::newRow("closed port") << 1000.0f << -2 << QByteArray("kept");
        QTest::newRow("device vanished") << 1000.0f << -2 << QByteArray("kept");
    }
    void receive() {
        const QByteArray during = QTest::currentDataTag();
        QFETCH(float, timeout);
        QFETCH(int, result);
        QFETCH(QByteArray, reply);
        Rig rig;
        if (during != "closed port") {
            rig.link.configurePort();
            rig.pty.write("EARLY REPLY!!!");
            QTRY_COMPARE(rig.port.inBufferCount(), qint64(14));
        }
        // Runs once the wait lets events through.
        QTimer::singleShot(0, &rig.link, [&] {
            if (during == "exactly 14 arrive")
                rig.pty.write(reply);
            if (during == "device vanished")
                rig.pty.closeMaster();
        });
        QByteArray received = "kept";
        const double deadline = Clock::now() + timeout;
        QCOMPARE(rig.link.receive(received, 14, timeout), qint16(result));
        if (result == -1)
            QVERIFY(Clock::now() > deadline);
        QCOMPARE(received, reply);
        QCOMPARE(rig.view.current, QString(result == -2 ? " Comm port not open" : "Status - -99"));
        QCOMPARE(rig.state.downloadError, result == -2);
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

    // The keypad is reset once after a pass-through download, unless it
    // was cancelled; other models are left alone.
    void keypadReset_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("passThrough");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("pass-through")
            << 3 << true << false << QByteArray("^PR") << "Download Complete" << true;
        QTest::newRow("keypad itself") << 3 << false << false << QByteArray() << "" << true;
        QTest::newRow("cancelled") << 3 << true << true << QByteArray() << "" << false;
        QTest::newRow("another model") << 0 << true << false << QByteArray() << "" << false;
    }
    void keypadReset() {
        QFETCH(int, printer);
        QFETCH(bool, passThrough);
        QFETCH(bool, cancelled);
        Rig rig;
        rig.link.configurePort();
        rig.state.printer = qint16(printer);
        rig.view.passThru = passThrough;
        rig.state.abortRequested = cancelled;
        LinkTimers timers(rig.state, rig.link, rig.view);
        timers.startResetDelay();
        QTRY_VERIFY(!timers.resetTimer().isActive());
        QTEST(rig.pty.readAvailable(), "wire");
        QTEST(rig.view.current, "status");
        QTEST(rig.view.downloadEnabled, "enabled");
    }
};

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"

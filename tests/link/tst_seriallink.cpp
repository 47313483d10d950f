#include "Clock.h"
#include "FakeView.h"
#include "LinkTimers.h"
#include "PrinterModels.h"
#include "PtyPair.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

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
    void receive_data() {
        // Stray bytes that came before the packet went out are dropped in
        // every row; a reply that comes before the wait starts is not.
        QTest::addColumn<float>("timeout"); // clock seconds, 10 ms real each
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("exactly 14 arrive") << 1000.0f << 0 << QByteArray("0123456789ABCD");
        QTest::newRow("reply before the wait") << 1000.0f << 0 << QByteArray("0123456789ABCD");
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
            rig.pty.write("STRAY");
            QTRY_COMPARE(rig.port.inBufferCount(), qint64(5));
            rig.link.send("{X}");
            QByteArray sent;
            QTRY_COMPARE(sent += rig.pty.readAvailable(0), QByteArray("{X}"));
        }
        if (during == "reply before the wait") {
            rig.pty.write(reply);
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

    // The keypad is reset once after a pass-through download, unless the
    // link failed in the meantime (the Download commands come back all the
    // same); after a failure it ends with the failure; other models are
    // left alone.
    void keypadReset_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("passThrough");
        QTest::addColumn<int>("ended"); // 0 complete, 1 cancelled, 2 failed
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("pass-through")
            << 3 << true << 0 << 0 << QByteArray("^PR") << "Download Complete" << true;
        QTest::newRow("pass-through over TCP/IP")
            << 3 << true << 0 << 1 << QByteArray("^PR") << "Download Complete" << true;
        QTest::newRow("pass-through after a failure")
            << 3 << true << 2 << 0 << QByteArray("^PR") << "{CP=4,P=001,?} Packet error" << true;
        QTest::newRow("keypad itself") << 3 << false << 0 << 0 << QByteArray() << "" << true;
        QTest::newRow("stopped during the delay")
            << 3 << true << 1 << 0 << QByteArray() << "" << true;
        QTest::newRow("another model") << 0 << true << 0 << 0 << QByteArray() << "" << false;
    }
    void keypadReset() {
        QFETCH(int, printer);
        QFETCH(bool, passThrough);
        QFETCH(int, ended);
        QFETCH(int, mode);
        Rig rig;
        rig.link.configurePort();
        rig.state.printer = qint16(printer);
        rig.view.passThru = passThrough;
        rig.state.abortRequested = ended == 1;
        if (ended == 2)
            rig.state.transferFailure = QStringLiteral("{CP=4,P=001,?} Packet error");
        SocketControl control;
        SocketLink socket(rig.state, rig.view, control);
        socket.setKeepAlive(false);
        QTcpServer server;
        QTcpSocket *peer = nullptr;
        if (mode == 1) {
            rig.state.mode = 1;
            QVERIFY(server.listen(QHostAddress::LocalHost));
            rig.state.ipAddress = QStringLiteral("127.0.0.1");
            rig.state.ipPort = server.serverPort();
            QVERIFY(socket.connectToPrinter());
            QTRY_VERIFY(server.hasPendingConnections());
            peer = server.nextPendingConnection();
        }
        LinkTimers timers(rig.state, rig.link, socket, rig.view);
        timers.startResetDelay();
        QTRY_VERIFY(!timers.resetTimer().isActive());
        QTEST(peer ? peer->readAll() : rig.pty.readAvailable(), "wire");
        QTEST(rig.view.current, "status");
        QTEST(rig.view.downloadEnabled, "enabled");
    }
};

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"

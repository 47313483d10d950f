#include "Clock.h"
#include "FakeView.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {
// Bytes every connected row sends: no blank among them, so the keep-alive
// blanks can be told apart on the wire.
const QByteArray kPayload("^PR\r\n\x00\xff{SR}", 11);

struct Case {
    QString host = QStringLiteral("127.0.0.1");
    QString printer = QStringLiteral("listening"); // or "refusing", "untried"
    bool keepAlive = false;
    QByteArray early = {}; // waiting before the receive
    QByteArray late = {};  // sent once the wait runs
    QString closes = {};   // when the printer hangs up: "idle", "waiting"
    float timeout = 1000;  // clock seconds, 10 ms real each
    int result = 0;
    QByteArray reply = {};
    QString status = {}; // the start of the last status
    bool abort = false;
    bool error = false;
};

// The socket link with a loopback server standing in for the printer.
struct Rig {
    SharedState state;
    FakeView view;
    SocketControl control;
    SocketLink link{state, view, control};
    QTcpServer server;
    QTcpSocket *printer = nullptr;
    QByteArray wire; // everything the printer has read so far

    QByteArray &read() { return wire += printer ? printer->readAll() : QByteArray(); }
};
} // namespace
Q_DECLARE_METATYPE(Case)

class tst_SocketLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exchange_data() {
        QTest::addColumn<Case>("c");
        const QByteArray all = "0123456789ABCD";
        QTest::newRow("14 arrive, 5 before the call")
            << Case{.early = "01234", .late = "56789ABCD", .reply = all};
        QTest::newRow("14 waiting, no time") << Case{.early = all, .timeout = 0, .reply = all};
        QTest::newRow("15 waiting") << Case{.early = all + "E", .result = -3, .reply = all + "E"};
        QTest::newRow("IPv6") << Case{
            .host = "::1", .early = "0123", .late = "456789ABCD", .reply = all};
        QTest::newRow("one short, keep-alive off")
            << Case{.early = all.left(13), .timeout = 20, .result = -1, .reply = all.left(13)};
        QTest::newRow("too few, keep-alive on") << Case{
            .keepAlive = true, .early = "PART", .timeout = 20, .result = -1, .reply = "PART"};
        QTest::newRow("printer hangs up in the wait")
            << Case{.keepAlive = true,
                    .early = "PART",
                    .late = "IAL",
                    .closes = "waiting",
                    .result = -2,
                    .reply = "PARTIAL",
                    .status = "Socket Error 10053 Connection closed by the printer",
                    .error = true};
        QTest::newRow("printer hangs up when idle")
            << Case{.keepAlive = true, .early = "PART", .closes = "idle", .result = -2};
        QTest::newRow("nothing listens") << Case{.printer = "refusing",
                                                 .keepAlive = true,
                                                 .result = -2,
                                                 .status = "Socket Error 10061 ",
                                                 .abort = true};
        QTest::newRow("never connected")
            << Case{.printer = "untried", .keepAlive = true, .result = -2};
    }
    void exchange() {
        QFETCH(Case, c);
        Rig rig;
        if (!rig.server.listen(QHostAddress(c.host)))
            QSKIP("no loopback for this address family");
        rig.state.ipAddress = c.host;
        rig.state.ipPort = rig.server.serverPort();
        if (c.printer == "refusing")
            rig.server.close();
        // A hundred ticks a second, so a short wait sees many of them.
        rig.link.findChild<QTimer *>("keepAliveTimer")->setInterval(10);
        rig.link.setKeepAlive(c.keepAlive);

        if (c.printer != "untried")
            QCOMPARE(rig.link.connectToPrinter(), c.printer == "listening");
        float sendTimeout = 10.0f;
        rig.link.send(kPayload, sendTimeout);
        if (c.printer == "listening") {
            QTRY_VERIFY(rig.server.hasPendingConnections());
            rig.printer = rig.server.nextPendingConnection();
            QTRY_COMPARE(rig.read().size() - rig.wire.count(' '), kPayload.size());
            QCOMPARE(QByteArray(rig.wire).replace(' ', ""), kPayload);
            rig.printer->write(c.early);
            QTRY_COMPARE(rig.control.bytesReceived(), qint64(c.early.size()));
            if (c.closes == "idle") {
                rig.printer->close();
                QTRY_COMPARE(rig.control.state(), 0);
            }
        }
        // Runs once the receive lets events through.
        QTimer::singleShot(0, &rig.server, [&] {
            if (!rig.printer || c.closes == "idle")
                return;
            rig.printer->write(c.late);
            if (c.closes == "waiting")
                rig.printer->close();
        });
        QByteArray reply = "kept";
        const double deadline = Clock::now() + c.timeout;
        QCOMPARE(rig.link.receive(reply, 14, c.timeout), qint16(c.result));
        if (c.result == -1)
            QVERIFY(Clock::now() > deadline);
        if (c.result == -2) // at once, or as soon as the printer hangs up
            QVERIFY(Clock::now() < deadline);
        QCOMPARE(reply, c.reply);
        QCOMPARE(rig.view.current.left(c.status.size()), c.status);
        QCOMPARE(rig.view.current.isEmpty(), c.status.isEmpty());
        QCOMPARE(rig.state.abortRequested, c.abort);
        QCOMPARE(rig.state.downloadError, c.error);

        // Blanks only from a running timer on a live connection.
        if (c.printer == "listening" && c.closes.isEmpty()) {
            if (c.keepAlive) {
                QTRY_VERIFY(rig.read().contains(' '));
            } else {
                QTest::qWait(20); // settle: the last tick's bytes would be in
                QVERIFY(!rig.read().contains(' '));
            }
        }
        QVERIFY(c.printer == "listening" || !rig.server.hasPendingConnections());

        rig.link.closeConnection();
        QCOMPARE(rig.control.state(), 0);
        QVERIFY(!rig.state.abortRequested);
        if (rig.printer && c.closes.isEmpty())
            QTRY_COMPARE(rig.printer->state(), QAbstractSocket::UnconnectedState);
    }
};

QTEST_GUILESS_MAIN(tst_SocketLink)
#include "tst_socketlink.moc"

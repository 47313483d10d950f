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
    bool keepAlive = true;
    QByteArray early = {}; // waiting before the receive
    QByteArray late = {};  // sent once the wait runs
    QString closes = {};   // when the printer hangs up: "idle", "waiting"
    float timeout = 1000;  // clock seconds, 10 ms real each
};
} // namespace
Q_DECLARE_METATYPE(Case)

// The socket link with a loopback server standing in for the printer.
class tst_SocketLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exchange_data() {
        QTest::addColumn<Case>("c");
        QTest::addColumn<QString>("facts"); // result|reply|last status|flags set
        const auto row = [](const char *name, const Case &c, const QString &facts) {
            QTest::newRow(name) << c << facts;
        };
        const QString all = "0|0123456789ABCD||";
        row("14 arrive, 5 before the call", {.early = "01234", .late = "56789ABCD"}, all);
        row("14 waiting, no time, keep-alive off",
            {.keepAlive = false, .early = "0123456789ABCD", .timeout = 0}, all);
        row("15 waiting", {.early = "0123456789ABCDE"}, "-3|0123456789ABCDE||");
        row("IPv6", {.host = "::1", .early = "0123", .late = "456789ABCD"}, all);
        row("one short", {.early = "0123456789ABC", .timeout = 20}, "-1|0123456789ABC||");
        row("printer hangs up in the wait", {.early = "PART", .late = "IAL", .closes = "waiting"},
            "-2|PARTIAL|Socket Error 10053 Connection closed by the printer|error");
        row("printer hangs up when idle", {.early = "PART", .closes = "idle"}, "-2|||");
        row("nothing listens", {.printer = "refusing"},
            "-2||Socket Error 10061 Connection refused|abort");
        row("never connected", {.printer = "untried"}, "-2|||");
    }
    void exchange() {
        QFETCH(Case, c);
        SharedState state;
        FakeView view;
        SocketControl control;
        SocketLink link{state, view, control};
        QTcpServer server;
        QTcpSocket *printer = nullptr; // while it is connected
        QByteArray wire;               // everything the printer has read so far
        if (!server.listen(QHostAddress(c.host)))
            QSKIP("no loopback for this address family");
        state.ipAddress = c.host;
        state.ipPort = server.serverPort();
        if (c.printer == "refusing")
            server.close();
        // A hundred ticks a second, so a short wait sees many of them.
        link.findChild<QTimer *>("keepAliveTimer")->setInterval(10);
        link.setKeepAlive(c.keepAlive);

        if (c.printer != "untried")
            QCOMPARE(link.connectToPrinter(), c.printer == "listening");
        float sendTimeout = 10.0f;
        link.send(kPayload, sendTimeout);
        if (c.printer == "listening") {
            QTRY_VERIFY(server.hasPendingConnections());
            printer = server.nextPendingConnection();
            QTRY_COMPARE((wire += printer->readAll()).size() - wire.count(' '), kPayload.size());
            QCOMPARE(QByteArray(wire).replace(' ', ""), kPayload);
            printer->write(c.early);
            QTRY_COMPARE(control.bytesReceived(), qint64(c.early.size()));
        }
        if (printer && c.closes == "idle") {
            std::exchange(printer, nullptr)->close();
            QTRY_COMPARE(control.state(), 0);
        }
        // Runs once the receive lets events through: the rest of the reply,
        // then the hang-up the row asks for.
        QTimer::singleShot(0, &server, [&] {
            if (printer && printer->write(c.late) >= 0 && c.closes == "waiting")
                std::exchange(printer, nullptr)->close();
        });
        QByteArray reply = "kept";
        const double deadline = Clock::now() + c.timeout;
        const qint16 result = link.receive(reply, 14, c.timeout);
        // A time-out waits it out; a lost line ends the wait at once.
        if (result == -1 || result == -2)
            QCOMPARE(Clock::now() > deadline, result == -1);
        QTEST(QString::number(result) + '|' + reply + '|' + view.current + '|' +
                  (state.abortRequested ? "abort" : "") + (state.downloadError ? "error" : ""),
              "facts");

        // Blanks only from a running timer on a live connection.
        if (printer) {
            QTest::qWait(20); // settle: the last tick's bytes would be in
            QTRY_COMPARE((wire += printer->readAll()).contains(' '), c.keepAlive);
        }
        QVERIFY(c.printer == "listening" || !server.hasPendingConnections());

        link.closeConnection();
        QCOMPARE(control.state(), 0);
        QVERIFY(!state.abortRequested);
        if (printer)
            QTRY_COMPARE(printer->state(), QAbstractSocket::UnconnectedState);
    }

    // What arrives during a wait is in hand when it returns, with no event round.
    void waitTakesWhatArrives() {
        QTcpServer server;
        SocketControl control;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        control.connectTo("127.0.0.1", server.serverPort());
        QTRY_VERIFY(control.state() == SocketControl::Connected && server.hasPendingConnections());
        QTcpSocket *printer = server.nextPendingConnection();
        QVERIFY(printer->write("R") == 1 && printer->waitForBytesWritten(1000));
        control.waitForData(1000);
        QCOMPARE(control.takeData(), "R");
    }

    // Qt's socket errors as the numbers the status texts carry; Qt has one
    // error for a host it cannot reach and a connection lost under way.
    void errorNumbers() {
        using E = QAbstractSocket::SocketError;
        QStringList numbers;
        for (const bool wasConnected : {false, true})
            for (const E error :
                 {E::ConnectionRefusedError, E::SocketTimeoutError, E::HostNotFoundError,
                  E::RemoteHostClosedError, E::NetworkError, E::SocketAccessError,
                  E::AddressInUseError, E::SocketResourceError, E::UnsupportedSocketOperationError,
                  E::UnknownSocketError})
                numbers << QString::number(SocketControl::errorNumber(error, wasConnected));
        QCOMPARE(numbers.join(' '), "10061 10060 11001 10053 10065 10013 10048 10055 10045 10000 "
                                    "10061 10060 11001 10053 10054 10013 10048 10055 10045 10000");
    }
};

QTEST_GUILESS_MAIN(tst_SocketLink)
#include "tst_socketlink.moc"

#include "PtyClient.h"

#include "FaultPlanOf.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "StatusReply.h"
#include "TcpEndpoint.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zelsim;

namespace {

constexpr int Patience = 10000;

// What the utility's side of a link looks like to these tests.
class Client {
public:
    virtual ~Client() = default;
    virtual bool send(const QByteArray &bytes) = 0;
    virtual QByteArray received() = 0;
    virtual bool ended() = 0;
};

class TcpClient : public Client {
public:
    explicit TcpClient(quint16 port) { m_socket.connectToHost(QHostAddress::LocalHost, port); }
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QAbstractSocket::SocketError error() const { return m_socket.error(); }
    bool send(const QByteArray &bytes) override { return m_socket.write(bytes) == bytes.size(); }
    QByteArray received() override { return m_received += m_socket.readAll(); }
    bool ended() override { return m_socket.state() == QAbstractSocket::UnconnectedState; }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

class TerminalClient : public Client {
public:
    explicit TerminalClient(const QString &path) : m_pty(path) {}
    bool isOpen() const { return m_pty.isOpen(); }
    bool send(const QByteArray &bytes) override { return m_pty.send(bytes); }
    QByteArray received() override { return m_pty.received(); }
    bool ended() override { return m_pty.hungUp(); }

private:
    PtyClient m_pty;
};

QByteArray everyByteValueTwice() {
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes += static_cast<char>(value);
    for (int value = 255; value >= 0; --value)
        bytes += static_cast<char>(value);
    return bytes;
}

} // namespace

class EndpointTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void faultsAsAClientSeesThem_data();
    void faultsAsAClientSeesThem();
    void refusedConnections_data();
    void refusedConnections();
    void tcpClientsAreServedOneAfterAnother();
    void hangupOpensANewTerminalBehindTheLink();
    void captureKeepsEveryByteOfBothEndpoints();
};

void EndpointTest::faultsAsAClientSeesThem_data() {
    QTest::addColumn<bool>("overTcp");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<int>("atLeastMs");

    const QByteArray r1 = StatusReply::make(1), r2 = StatusReply::make(2),
                     r3 = StatusReply::make(3);
    for (const bool tcp : {true, false}) {
        const char *link = tcp ? "tcp" : "pty";
        QTest::addRow("%s: no fault", link) << tcp << QStringList() << r1 + r2 + r3 << false << 0;
        QTest::addRow("%s: silent", link)
            << tcp << QStringList{"silent@2"} << r1 + r3 << false << 0;
        QTest::addRow("%s: delay", link)
            << tcp << QStringList{"delay@2=300"} << r1 + r2 + r3 << false << 300;
        QTest::addRow("%s: packet error", link)
            << tcp << QStringList{"error@2"} << r1 + "{CP=4,P=002,?}" + r3 << false << 0;
        QTest::addRow("%s: CP=4", link)
            << tcp << QStringList{"cp4@2"} << r1 + "{CP=4,P=002,0}" + r3 << false << 0;
        QTest::addRow("%s: short", link)
            << tcp << QStringList{"short@2"} << r1 + r2.left(10) + r3 << false << 0;
        QTest::addRow("%s: long", link)
            << tcp << QStringList{"long@2"} << r1 + r2 + " READY" + r3 << false << 0;
        QTest::addRow("%s: garbage", link)
            << tcp << QStringList{"garbage@2"} << r1 + StatusReply::garbage() + r3 << false << 0;
    }
    QTest::newRow("tcp: drop") << true << QStringList{"drop@2"} << r1 << true << 0;
    QTest::newRow("pty: hangup") << false << QStringList{"hangup@2"} << r1 << true << 0;
}

void EndpointTest::faultsAsAClientSeesThem() {
    QFETCH(bool, overTcp);
    QFETCH(QStringList, faults);
    QFETCH(QByteArray, expected);
    QFETCH(bool, ends);
    QFETCH(int, atLeastMs);

    const FaultPlan plan = planOf(faults);
    QString error;
    std::unique_ptr<TcpEndpoint> tcp;
    std::unique_ptr<PtyEndpoint> pty;
    std::unique_ptr<Client> client;
    if (overTcp) {
        tcp = std::make_unique<TcpEndpoint>(plan);
        QVERIFY2(tcp->listen(QHostAddress::LocalHost, 0, &error), qPrintable(error));
        auto socket = std::make_unique<TcpClient>(tcp->port());
        QTRY_VERIFY_WITH_TIMEOUT(socket->connected(), Patience);
        client = std::move(socket);
    } else {
        pty = std::make_unique<PtyEndpoint>(plan);
        QVERIFY2(pty->open(&error), qPrintable(error));
        auto terminal = std::make_unique<TerminalClient>(pty->path());
        QVERIFY(terminal->isOpen());
        client = std::move(terminal);
    }

    QElapsedTimer clock;
    clock.start();
    // Two acknowledged packets around one that takes no reply, glued together.
    QVERIFY(client->send("{SR}{X,1}{F,1,A|\r\n}{X,2}"));
    QTRY_COMPARE_WITH_TIMEOUT(client->received(), expected, Patience);
    QVERIFY(clock.elapsed() >= atLeastMs);
    if (ends)
        QTRY_VERIFY_WITH_TIMEOUT(client->ended(), Patience);
    else
        QVERIFY(!client->ended());
}

void EndpointTest::refusedConnections_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("servedBeforeRefusal");
    QTest::newRow("refuse") << "refuse" << 0;
    QTest::newRow("refuse@2") << "refuse@2" << 1;
    QTest::newRow("refuse@3+") << "refuse@3+" << 2;
}

void EndpointTest::refusedConnections() {
    QFETCH(QString, fault);
    QFETCH(int, servedBeforeRefusal);
    TcpEndpoint endpoint(planOf({fault}));
    QString error;
    QVERIFY2(endpoint.listen(QHostAddress::LocalHost, 0, &error), qPrintable(error));
    for (int served = 0; served < servedBeforeRefusal; ++served) {
        TcpClient client(endpoint.port());
        QVERIFY(client.send("{SR}"));
        QTRY_COMPARE_WITH_TIMEOUT(client.received(), StatusReply::make(1), Patience);
    }
    TcpClient refused(endpoint.port());
    QTRY_VERIFY_WITH_TIMEOUT(refused.ended(), Patience);
    QCOMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);
}

void EndpointTest::tcpClientsAreServedOneAfterAnother() {
    TcpEndpoint endpoint(FaultPlan{});
    QString error;
    QVERIFY2(endpoint.listen(QHostAddress::LocalHost, 0, &error), qPrintable(error));
    auto first = std::make_unique<TcpClient>(endpoint.port());
    QTRY_VERIFY_WITH_TIMEOUT(endpoint.connectionCount() == 1, Patience);
    TcpClient second(endpoint.port());
    QTRY_VERIFY_WITH_TIMEOUT(second.connected(), Patience);
    QVERIFY(second.send("{SR}"));
    QVERIFY(first->send("{SR}{X,1}"));
    QTRY_COMPARE_WITH_TIMEOUT(first->received(), StatusReply::make(1) + StatusReply::make(2),
                              Patience);
    QVERIFY(second.received().isEmpty());
    first.reset();
    // The waiting client's request is answered in a session of its own.
    QTRY_COMPARE_WITH_TIMEOUT(second.received(), StatusReply::make(1), Patience);
    QCOMPARE(endpoint.connectionCount(), 2);
}

void EndpointTest::hangupOpensANewTerminalBehindTheLink() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("zelsim-tty"));
    PtyEndpoint endpoint(planOf({"hangup@2"}));
    endpoint.setLinkPath(link);
    QSignalSpy paths(&endpoint, &PtyEndpoint::pathChanged);
    QString error;
    QVERIFY2(endpoint.open(&error), qPrintable(error));
    QCOMPARE(QFileInfo(link).symLinkTarget(), endpoint.path());

    TerminalClient first(link);
    QVERIFY(first.isOpen());
    QVERIFY(first.send("{SR}{X,1}"));
    QTRY_VERIFY_WITH_TIMEOUT(first.ended(), Patience);
    QCOMPARE(first.received(), StatusReply::make(1));
    QCOMPARE(paths.count(), 2);
    QCOMPARE(QFileInfo(link).symLinkTarget(), endpoint.path());

    TerminalClient second(link);
    QVERIFY(second.isOpen());
    QVERIFY(second.send("{SR}"));
    QTRY_COMPARE_WITH_TIMEOUT(second.received(), StatusReply::make(1), Patience);

    endpoint.close();
    QVERIFY(!QFileInfo(link).isSymLink());
}

void EndpointTest::captureKeepsEveryByteOfBothEndpoints() {
    QTemporaryDir dir;
    SimConfig config;
    config.tcp = true;
    config.port = 0;
    config.serial = true;
    config.capturePath = dir.filePath(QStringLiteral("capture.bin"));
    QBuffer console;
    console.open(QIODevice::WriteOnly);
    Simulator simulator(config, &console);
    QString error;
    QVERIFY2(simulator.start(&error), qPrintable(error));
    QVERIFY(console.data().contains(
        "tcp: 127.0.0.1:" + QByteArray::number(simulator.tcp()->port()) + '\n'));
    QVERIFY(console.data().contains("serial: " + simulator.pty()->path().toUtf8() + '\n'));

    QFile capture(config.capturePath);
    auto captured = [&capture] {
        capture.open(QIODevice::ReadOnly);
        const QByteArray bytes = capture.readAll();
        capture.close();
        return bytes;
    };
    const QByteArray stream = everyByteValueTwice();

    TcpClient tcp(simulator.tcp()->port());
    for (qsizetype at = 0; at < stream.size(); at += 100)
        QVERIFY(tcp.send(stream.mid(at, 100)));
    QTRY_COMPARE_WITH_TIMEOUT(captured(), stream, Patience);

    TerminalClient terminal(simulator.pty()->path());
    QVERIFY(terminal.isOpen());
    for (qsizetype at = 0; at < stream.size(); at += 37)
        QVERIFY(terminal.send(stream.mid(at, 37)));
    QTRY_COMPARE_WITH_TIMEOUT(captured(), stream + stream, Patience);
}

QTEST_GUILESS_MAIN(EndpointTest)
#include "tst_zelsim_endpoints.moc"

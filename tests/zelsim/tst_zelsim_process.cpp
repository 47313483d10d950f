#include "PtyClient.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

constexpr int Patience = 10000;

// The running executable and what it announced on stdout.
struct Printer {
    QProcess process;
    QByteArray output;

    bool start(const QStringList &arguments) {
        process.start(QStringLiteral(ZELSIM_PATH), arguments);
        return process.waitForStarted(Patience);
    }
    QByteArray readOutput() { return output += process.readAllStandardOutput(); }
    QByteArray lineStartingWith(const QByteArray &prefix) {
        const QByteArrayList lines = readOutput().split('\n');
        // The last piece may be a line still being written.
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (lines.at(i).startsWith(prefix))
                return lines.at(i).mid(prefix.size());
        }
        return {};
    }
};

} // namespace

class ProcessTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersOverBothEndpointsAndEndsCleanly_data();
    void answersOverBothEndpointsAndEndsCleanly();
    void faultOptionReachesTheReplies();
    void badOptionsAreRejected_data();
    void badOptionsAreRejected();
};

void ProcessTest::answersOverBothEndpointsAndEndsCleanly_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void ProcessTest::answersOverBothEndpointsAndEndsCleanly() {
    QFETCH(int, signalNumber);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("tty"));
    const QString capture = dir.filePath(QStringLiteral("capture.bin"));
    Printer printer;
    QVERIFY(printer.start(
        {"--tcp", "127.0.0.1:0", "--serial", "--link", link, "--capture", capture, "--log"}));

    QByteArray tcpLine, serialLine;
    QTRY_VERIFY_WITH_TIMEOUT(!(tcpLine = printer.lineStartingWith("tcp: ")).isEmpty() &&
                                 !(serialLine = printer.lineStartingWith("serial: ")).isEmpty(),
                             Patience);
    QVERIFY2(tcpLine.startsWith("127.0.0.1:"), tcpLine.constData());
    const quint16 port = tcpLine.mid(tcpLine.indexOf(':') + 1).toUShort();
    QVERIFY(port != 0);
    QCOMPARE(QFileInfo(link).symLinkTarget(), QString::fromUtf8(serialLine));

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write("{SR}");
    QByteArray reply;
    QTRY_VERIFY_WITH_TIMEOUT((reply += socket.readAll()).size() >= 14, Patience);
    QCOMPARE(reply.size(), 14);
    QCOMPARE(reply.at(12), '0');
    QVERIFY(reply.contains("CP=0"));

    PtyClient terminal(link);
    QVERIFY(terminal.isOpen());
    QVERIFY(terminal.send("{SR}"));
    QTRY_COMPARE_WITH_TIMEOUT(terminal.received().size(), 14, Patience);
    QCOMPARE(terminal.received().at(12), '0');

    // The transcript of --log shows both answers.
    QTRY_COMPARE_WITH_TIMEOUT(printer.readOutput().count("-> reply"), 2, Patience);
    ::kill(static_cast<pid_t>(printer.process.processId()), signalNumber);
    QVERIFY(printer.process.waitForFinished(Patience));
    QCOMPARE(printer.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(printer.process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QFile captured(capture);
    QVERIFY(captured.open(QIODevice::ReadOnly));
    QCOMPARE(captured.readAll(), QByteArray("{SR}{SR}"));
}

void ProcessTest::faultOptionReachesTheReplies() {
    Printer printer;
    QVERIFY(printer.start({"--tcp", "127.0.0.1:0", "--fault", "error@2"}));
    QByteArray tcpLine;
    QTRY_VERIFY_WITH_TIMEOUT(!(tcpLine = printer.lineStartingWith("tcp: ")).isEmpty(), Patience);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, tcpLine.mid(tcpLine.indexOf(':') + 1).toUShort());
    socket.write("{SR}{X,1}");
    QByteArray replies;
    QTRY_VERIFY_WITH_TIMEOUT((replies += socket.readAll()).size() >= 28, Patience);
    QCOMPARE(replies.at(12), '0');
    QCOMPARE(replies.at(14 + 12), '?');
    printer.process.terminate();
    QVERIFY(printer.process.waitForFinished(Patience));
    QCOMPARE(printer.process.exitCode(), 0);
}

void ProcessTest::badOptionsAreRejected_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("complaint");
    QTest::newRow("unknown fault") << QStringList{"--fault", "explode"} << QByteArray("explode");
    QTest::newRow("delay without time") << QStringList{"--fault", "delay@1"} << QByteArray("delay");
    QTest::newRow("bad endpoint") << QStringList{"--tcp", "127.0.0.1:99999"} << QByteArray("--tcp");
}

void ProcessTest::badOptionsAreRejected() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, complaint);
    Printer printer;
    QVERIFY(printer.start(arguments));
    QVERIFY(printer.process.waitForFinished(Patience));
    QVERIFY(printer.process.exitCode() != 0);
    QVERIFY(printer.process.readAllStandardError().contains(complaint));
}

QTEST_GUILESS_MAIN(ProcessTest)
#include "tst_zelsim_process.moc"

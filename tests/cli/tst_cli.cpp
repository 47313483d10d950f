#include "SampleSet.h"
#include "ZelsimPrinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
using namespace SampleSet;
// The window's settings, which the command line only reads.
const QString kSettingsFile = "Corvane\u00ae ZEL Download Utility.ini";
const QByteArray kSettings = "[Properties]\nSettings=9600,N,8,1\nHandshaking=1\nTimeout=25\n";

struct Outcome {
    int status = -1;
    QString out, err;
};
} // namespace

// The command-line program against the virtual printer: exit statuses, what
// it prints, the bytes on the wire, several targets at once, Ctrl+C, the dry
// run and discovery.
class tst_Cli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray read(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : "(unreadable)";
    }
    // An argument line with its placeholders filled in: %SET the three
    // files, %TCP the printer and % the folder.
    QString expand(QString args, const ZelsimPrinter &printer) {
        return args.replace("%SET", "--app %app.fpc --format %label.fmt --lookup %t1.txt")
            .replace("%TCP", "tcp:127.0.0.1:" + printer.port)
            .replace("%", m_dir.path() + '/');
    }
    void start(QProcess &cli, const QString &args, const ZelsimPrinter &printer) {
        m_env.insert("ZELDL_COM1", printer.tty);
        cli.setProcessEnvironment(m_env);
        cli.start(ZELDL_CLI_PATH, expand(args, printer).split(' '));
        QVERIFY(cli.waitForStarted(10000));
    }
    static Outcome finish(QProcess &cli) {
        const bool ended = cli.waitForFinished(30000) && cli.exitStatus() == QProcess::NormalExit;
        return {ended ? cli.exitCode() : -1, QString::fromLocal8Bit(cli.readAllStandardOutput()),
                QString::fromLocal8Bit(cli.readAllStandardError())};
    }
    Outcome cli(const QString &args, const ZelsimPrinter &printer) {
        QProcess process;
        start(process, args, printer);
        return finish(process);
    }

private Q_SLOTS:
    void initTestCase() {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("XDG_CONFIG_HOME", m_dir.path());
        m_env.insert("XDG_CACHE_HOME", path("cache"));
        m_env.insert("ZELDL_COM9", path("no-such-tty"));
        for (const auto &[name, bytes] : {std::pair<QString, QByteArray>{"app.fpc", kApp},
                                          {"label.fmt", kFormat},
                                          {"t1.txt", kLookup},
                                          {"big.fpc", QByteArray("{XA,1}\r\n").repeated(40)},
                                          {"broken.zelset", "[DownloadSet]\nVersion=x\n"},
                                          {kSettingsFile, kSettings}}) {
            QFile f(path(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) > 0);
        }
    }

    void exitStatus_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("end"); // the final status, first on stdout
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("fault"); // of the printer
        const auto row = [](const char *name, const QString &args, int status, const QString &end,
                            const QByteArray &wire, const QString &fault = {}) {
            QTest::newRow(name) << args << status << end << wire << fault;
        };
        const QString q410 = "--model Q410 %SET --to com1";
        row("complete on serial, the model's line", q410 + " --line-settings model", 0,
            "com1: Download Complete", kFullWire);
        row("refused packet", q410, 1, "com1: Download app.fpc error: {CP=4,P=002,?} Packet error",
            kAppWire, "--fault error@2");
        row("no reply", q410, 1, "com1:  - Download error response timeout", kAppWire,
            "--fault silent@2");
        row("connection refused", "--model T540 %SET --to %TCP", 3,
            "%TCP: Socket Error 10061 Connection refused", "", "--fault refuse");
        row("no such port", "--model Q410 %SET --to com9", 3,
            "com9: Com9 (%no-such-tty): Invalid port number (8002)", "");
        row("malformed set file", "%broken.zelset --to com1", 2, "", "");
        row("dry-run file that cannot be written", q410 + " --dry-run %no/such/dir/x", 2, "", "");
        row("unknown option", q410 + " --frob", 2, "", "");
    }
    void exitStatus() {
        QFETCH(QString, fault);
        QFETCH(QString, end);
        QFETCH(QByteArray, wire);
        ZelsimPrinter printer(
            ("--serial --tcp 127.0.0.1:0 " + fault).split(' ', Qt::SkipEmptyParts));
        QFETCH(QString, args);
        const Outcome outcome = cli("download " + args, printer);
        QTEST(outcome.status, "status");
        QCOMPARE(outcome.out.section('\n', 0, 0), expand(end, printer));
        // Only a command line that cannot run is refused in the program's name.
        QCOMPARE(outcome.err.startsWith("zeldl-cli: "), outcome.status == 2);
        QTRY_COMPARE(printer.captured(), wire);
        QCOMPARE(read(path(kSettingsFile)), kSettings);
    }

    // Two serial and two TCP/IP printers at once, one of them refusing a
    // packet: each gets its own download and result.
    void severalTargetsAtOnce() {
        ZelsimPrinter serial1({"--serial"}), serial2({"--serial"}), tcp({"--tcp", "127.0.0.1:0"}),
            failing({"--tcp", "127.0.0.1:0", "--fault", "error@2"});
        const QString good = "tcp:127.0.0.1:" + tcp.port, bad = "tcp:127.0.0.1:" + failing.port;
        m_env.insert("ZELDL_COM2", serial2.tty);
        Outcome outcome =
            cli(QString("download --json --model T540 --app %app.fpc --lookup %t1.txt --trace "
                        "%trace --to com1 --to com2 --to %1 --to %2")
                    .arg(good, bad),
                serial1);
        m_env.remove("ZELDL_COM2");
        QCOMPARE(outcome.status, 1);
        // Each took some time, which is all there is to know of it.
        outcome.out.remove(QRegularExpression(R"("seconds":(?!0[,}])[\d.]+,)"));
        const QByteArray wire = "{SR}" + kAppWire + kLookupWire + "{S }";
        const QString line = R"({"bytes":%1,"model":"T540","packets":%2,"replies":%3,)"
                             R"("result":"%4","status":"%5","target":"%6"})";
        const QString bytes = QString::number(wire.size()), done = "Download Complete";
        QCOMPARE(
            outcome.out.split('\n', Qt::SkipEmptyParts),
            QStringList({line.arg(bytes, "6", "4", "complete", done, "com1"),
                         line.arg(bytes, "6", "4", "complete", done, "com2"),
                         line.arg(bytes, "6", "4", "complete", done, good),
                         line.arg("10", "2", "2", "failed",
                                  "Download app.fpc error: {CP=4,P=002,?} Packet error 0", bad)}));
        QVERIFY(outcome.err.contains("\ncom2: Downloading app.fpc\n"));
        QTRY_COMPARE(serial1.captured() + '|' + serial2.captured() + '|' + tcp.captured(),
                     wire + '|' + wire + '|' + wire);
        QCOMPARE(failing.captured(), "{SR}{XA,1}");
        // Each its own trace: what went out and what came back, in order.
        const QRegularExpression time("^[\\d.]+ ", QRegularExpression::MultilineOption);
        QCOMPARE(QString(read(path("trace.tcp_127.0.0.1_" + failing.port))).remove(time),
                 "> {SR}\n< [0] {CP=0,P=001,0}\n> {XA,1}\n< [0] {CP=4,P=002,?}\n");
        QVERIFY(QFile::exists(path("trace.com2")));
    }

    // Ctrl+C during the transfer cancels as the Cancel button does; a second
    // one gives up the wait under way.
    void interrupt_data() {
        QTest::addColumn<QString>("targets");
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("presses");
        QTest::newRow("one target") << "--to com1" << SIGINT << "delay=100" << 1;
        QTest::newRow("both by SIGTERM") << "--to com1 --to %TCP" << SIGTERM << "delay=100" << 1;
        QTest::newRow("twice, in a 30 s reply wait") << "--to com1" << SIGINT << "silent@3" << 2;
    }
    void interrupt() {
        QFETCH(QString, targets);
        QFETCH(QString, fault);
        QFETCH(int, signalNumber);
        QFETCH(int, presses);
        ZelsimPrinter printer({"--serial", "--tcp", "127.0.0.1:0", "--fault", fault});
        // The reply waits at their real length.
        const QProcessEnvironment saved = m_env;
        m_env.insert("ZELDL_TIME_SCALE", "1");
        QProcess process;
        start(process, "download --model T540 --app %big.fpc --lookup %t1.txt " + targets, printer);
        m_env = saved;
        process.setReadChannel(QProcess::StandardError);
        QByteArray err;
        QElapsedTimer clock;
        for (const QByteArray &awaited :
             QByteArrayList{"{CP=0,P=002,0} - Success", "Please Wait..."}.first(presses)) {
            while (!err.contains(awaited) && process.waitForReadyRead(10000))
                err += process.readAllStandardError();
            // A process that has ended has no id; kill(0) would hit this test's own group.
            QVERIFY(process.state() == QProcess::Running && process.processId() > 0);
            clock.start();
            ::kill(pid_t(process.processId()), signalNumber);
        }
        const Outcome outcome = finish(process);
        QCOMPARE(outcome.status, 128 + signalNumber);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(outcome.out.count(": cancelled, T540"), targets.count("--to"));
        // Neither the lookup table nor the closing packet went out.
        QVERIFY(!printer.captured().contains("{S }") && !printer.captured().contains("{R0"));
    }

    // A dry run writes the bytes a real download of the same set sends.
    void dryRun_data() {
        QTest::addColumn<QString>("args");
        QTest::newRow("Q410 on serial") << "--model Q410 %SET --lookup %t1.txt --to com1";
        QTest::newRow("K72e passing through on serial")
            << "--model K72e --pass-through --app %app.fpc --lookup %t1.txt "
               "--first-lookup 4 --to com1";
        QTest::newRow("R300 over TCP/IP") << "--model R300 %SET --to %TCP";
    }
    void dryRun() {
        QFETCH(QString, args);
        ZelsimPrinter printer({"--serial", "--tcp", "127.0.0.1:0"});
        QCOMPARE(cli("download " + args, printer).status, 0);
        const QByteArray sent = printer.captured();
        QCOMPARE(cli("download --dry-run %dry.bin " + args, printer).status, 0);
        QCOMPARE(read(path("dry.bin")), sent);
        QCOMPARE(printer.captured(), sent);
    }

    // Two printers on loopback addresses, found on their port, and nothing else.
    void discover() {
        ZelsimPrinter first({"--tcp", "127.0.0.3:0"}), second({"--tcp", "127.0.0.5:" + first.port});
        Outcome found = cli("discover 127.0.0.2-7 --parallel 1 --port " + first.port, first);
        // Each printer's reply time aside.
        found.out.remove(QRegularExpression(" +\\d+ ms")).replace(QRegularExpression(" +"), " ");
        const QString seen = ' ' + first.port + " {CP=0,P=001,0}\n";
        QCOMPARE(QString::number(found.status) + '\n' + found.out,
                 "0\n127.0.0.3" + seen + "127.0.0.5" + seen);
        const Outcome none = cli("discover 127.0.0.8-9 --port " + first.port, first);
        QCOMPARE(QString::number(none.status) + '\n' + none.out, "1\n");
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

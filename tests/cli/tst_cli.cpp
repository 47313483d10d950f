#include "ZelsimPrinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
const QByteArray kApp = "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n";
const QByteArray kAppWire = "{XA,1}{F,2,A|\r\n}{XB,2}";
const QByteArray kFormat = "{F,1,A,R,E,200,200,\"FMT1\"|\r\nC,10,10,0,1,1,1,W,\"HI\"|\r\n}\r\n";
const QByteArray kFormatWire = "{F,1,A,R,E,200,200,\"FMT1\"|C,10,10,0,1,1,1,W,\"HI\"|}";
const QByteArray kLookupWire = "{R0_XXXX_A|\r\nB|\r\n}";
const QByteArray kFullWire = kAppWire + kFormatWire + kLookupWire + "{S }";

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};
} // namespace

// The command-line program against the virtual printer: exit statuses, what
// it prints, the bytes on the wire, several targets at once, Ctrl+C, the dry
// run and discovery.
class tst_Cli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QByteArray m_settings;

    QString file(const QString &name, const QByteArray &bytes) {
        QFile f(m_dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
    QString settingsFile() const {
        return m_dir.filePath("config/Corvane\u00ae ZEL Download Utility.ini");
    }
    void start(QProcess &cli, QStringList args, const ZelsimPrinter &printer) {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        args.replaceInStrings("%TCP", "tcp:127.0.0.1:" + printer.port)
            .replaceInStrings("%REFUSED", "tcp:127.0.0.1:" + QString::number(closed.serverPort()));
        closed.close();
        QProcessEnvironment env = m_env;
        env.insert("ZELDL_COM1", printer.tty);
        cli.setProcessEnvironment(env);
        cli.start(ZELDL_CLI_PATH, args);
        QVERIFY(cli.waitForStarted(10000));
    }
    static Outcome finish(QProcess &cli) {
        if (!cli.waitForFinished(30000))
            return {};
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                QString::fromLocal8Bit(cli.readAllStandardOutput()),
                QString::fromLocal8Bit(cli.readAllStandardError())};
    }
    Outcome cli(const QStringList &args, const ZelsimPrinter &printer) {
        QProcess process;
        start(process, args, printer);
        return finish(process);
    }

private Q_SLOTS:
    void initTestCase() {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        m_env.insert("XDG_CACHE_HOME", m_dir.filePath("cache"));
        m_env.insert("ZELDL_COM9", m_dir.filePath("no-such-tty"));
        file("app.fpc", kApp);
        file("label.fmt", kFormat);
        file("t1.txt", "A\r\nB|\r\n");
        file("big.fpc", QByteArray("{XA,1}\r\n").repeated(40));
        file("broken.zelset", "[DownloadSet]\nVersion=x\n");
        // The window's settings, which the command line only reads.
        QDir().mkpath(m_dir.filePath("config"));
        m_settings = "[Properties]\nSettings=9600,N,8,1\nHandshaking=1\nTimeout=25\n";
        QFile settings(settingsFile());
        QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write(m_settings) > 0);
    }

    void exitStatus_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("end"); // the final status line on stdout
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("fault"); // of the printer
        const QString app = m_dir.filePath("app.fpc"), fmt = m_dir.filePath("label.fmt"),
                      lookup = m_dir.filePath("t1.txt");
        const QString set = QString("--app %1 --format %2 --lookup %3 ").arg(app, fmt, lookup);
        const auto row = [](const char *name, const QString &args, int status, const QString &end,
                            const QByteArray &wire, const QString &fault = {}) {
            QTest::newRow(name) << args << status << end << wire << fault;
        };
        row("complete on serial, the model's line",
            "--model Q410 " + set + "--to com1 --line-settings model", 0, "com1: Download Complete",
            kFullWire);
        row("complete over TCP/IP", "--model T540 " + set + "--to %TCP", 0,
            "tcp:127.0.0.1:%PORT: Download Complete", "{SR}" + kFullWire);
        row("refused packet", "--model Q410 " + set + "--to com1", 1,
            "com1: Download app.fpc error: {CP=4,P=002,?} Packet error", kAppWire, "error@2");
        row("no reply", "--model Q410 " + set + "--to com1", 1,
            "com1:  - Download error response timeout", kAppWire, "silent@2");
        row("connection refused", "--model T540 " + set + "--to %REFUSED", 3,
            "Socket Error 10061 Connection refused", "");
        row("no such port", "--model Q410 " + set + "--to com9", 3, "Invalid port number (8002)",
            "");
        row("malformed set file", m_dir.filePath("broken.zelset") + " --to com1", 2, "", "");
        row("dry-run file that cannot be written",
            "--model Q410 " + set + "--to com1 --dry-run " + m_dir.filePath("no/such/dir/x"), 2, "",
            "");
        row("unknown option", "--model Q410 " + set + "--to com1 --frob", 2, "", "");
    }
    void exitStatus() {
        QFETCH(QString, args);
        QFETCH(QString, fault);
        ZelsimPrinter printer(QStringList{"--serial", "--tcp", "127.0.0.1:0"} +
                              (fault.isEmpty() ? QStringList() : QStringList{"--fault", fault}));
        QVERIFY(!printer.tty.isEmpty());
        const Outcome outcome = cli(QStringList{"download"} + args.split(' '), printer);
        QTEST(outcome.status, "status");
        QFETCH(QString, end);
        end.replace("%PORT", printer.port);
        QVERIFY2(end.isEmpty() ? outcome.out.isEmpty()
                               : outcome.out.section('\n', 0, 0).endsWith(end),
                 qPrintable(outcome.out + outcome.err));
        QVERIFY(outcome.status == 0 || !outcome.out.contains("Download Complete"));
        if (outcome.status == 2)
            QVERIFY(outcome.err.startsWith("zeldl-cli: "));
        QFETCH(QByteArray, wire);
        QTRY_COMPARE(printer.captured(), wire);
        QFile settings(settingsFile());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), m_settings);
    }

    // Two serial and two TCP/IP printers at once, one of them refusing a
    // packet: each gets its own download and result.
    void severalTargetsAtOnce() {
        ZelsimPrinter serial1({"--serial"}), serial2({"--serial"}), tcp({"--tcp", "127.0.0.1:0"}),
            failing({"--tcp", "127.0.0.1:0", "--fault", "error@2"});
        m_env.insert("ZELDL_COM2", serial2.tty);
        const Outcome outcome =
            cli({"download", "--json", "--model", "T540", "--app", m_dir.filePath("app.fpc"),
                 "--lookup", m_dir.filePath("t1.txt"), "--to", "com1", "--to", "com2", "--to",
                 "tcp:127.0.0.1:" + tcp.port, "--to", "tcp:127.0.0.1:" + failing.port, "--trace",
                 m_dir.filePath("trace")},
                serial1);
        m_env.remove("ZELDL_COM2");
        QCOMPARE(outcome.status, 1);
        const QByteArray wire = "{SR}" + kAppWire + kLookupWire + "{S }";
        QStringList seen;
        for (const QString &line : outcome.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject result = QJsonDocument::fromJson(line.toUtf8()).object();
            const bool fails = result["target"] == "tcp:127.0.0.1:" + failing.port;
            seen << result["target"].toString();
            QCOMPARE(result["model"], "T540");
            QCOMPARE(result["result"], fails ? "failed" : "complete");
            QCOMPARE(result["status"], fails
                                           ? "Download app.fpc error: {CP=4,P=002,?} Packet error 0"
                                           : "Download Complete");
            QCOMPARE(result["bytes"].toInt(), fails ? 10 : wire.size());
            QCOMPARE(result["replies"].toInt(), fails ? 2 : 4);
            QVERIFY(result["seconds"].toDouble() > 0.0);
        }
        QCOMPARE(seen, QStringList({"com1", "com2", "tcp:127.0.0.1:" + tcp.port,
                                    "tcp:127.0.0.1:" + failing.port}));
        QVERIFY(outcome.err.contains("\ncom2: Downloading app.fpc\n"));
        QCOMPARE(serial1.captured(), wire);
        QCOMPARE(serial2.captured(), wire);
        QTRY_COMPARE(tcp.captured(), wire);
        QCOMPARE(failing.captured(), "{SR}{XA,1}");
        // Each its own trace: what went out and what came back, in order.
        QFile trace(m_dir.filePath("trace.tcp_127.0.0.1_" + failing.port));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        QStringList lines;
        for (const QByteArray &line : trace.readAll().split('\n'))
            lines << QString(line).section(' ', 1);
        QCOMPARE(lines, QStringList({"> {SR}", "< [0] {CP=0,P=001,0}", "> {XA,1}",
                                     "< [0] {CP=4,P=002,?}", ""}));
        QVERIFY(QFile::exists(m_dir.filePath("trace.com2")));
    }

    // Ctrl+C during the transfer cancels as the Cancel button does; a second
    // one gives up the wait under way.
    void interrupt_data() {
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("presses");
        QTest::newRow("one target") << QStringList{"--to", "com1"} << "delay=100" << SIGINT << 1;
        QTest::newRow("two targets, SIGTERM")
            << QStringList{"--to", "com1", "--to", "%TCP"} << "delay=100" << SIGTERM << 1;
        QTest::newRow("twice, in a 30 s reply wait")
            << QStringList{"--to", "com1"} << "silent@3" << SIGINT << 2;
    }
    void interrupt() {
        QFETCH(QStringList, targets);
        QFETCH(QString, fault);
        QFETCH(int, signalNumber);
        QFETCH(int, presses);
        ZelsimPrinter printer({"--serial", "--tcp", "127.0.0.1:0", "--fault", fault});
        // The reply waits at their real length.
        const QProcessEnvironment saved = m_env;
        m_env.insert("ZELDL_TIME_SCALE", "1");
        QProcess process;
        start(process,
              QStringList{"download", "--model", "T540", "--app", m_dir.filePath("big.fpc"),
                          "--lookup", m_dir.filePath("t1.txt")} +
                  targets,
              printer);
        m_env = saved;
        process.setReadChannel(QProcess::StandardError);
        QByteArray err;
        QElapsedTimer clock;
        for (const QByteArray awaited : {"{CP=0,P=002,0} - Success", "Please Wait..."}) {
            while (!err.contains(awaited) && process.waitForReadyRead(10000))
                err += process.readAllStandardError();
            // A process that has ended has no id; kill(0) would hit this test's own group.
            QVERIFY(process.state() == QProcess::Running && process.processId() > 0);
            clock.start();
            ::kill(pid_t(process.processId()), signalNumber);
            if (--presses == 0)
                break;
        }
        const Outcome outcome = finish(process);
        QCOMPARE(outcome.status, 128 + signalNumber);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(outcome.out.count(": cancelled, T540"), targets.size() / 2);
        QVERIFY(!outcome.out.contains("Download Complete"));
        QVERIFY(!printer.captured().contains("{S }") && !printer.captured().contains("{R0"));
    }

    // A dry run writes the bytes a real download of the same set sends.
    void dryRun_data() {
        QTest::addColumn<QString>("args");
        QTest::newRow("Q410 on serial")
            << "--model Q410 --app %A --format %F --lookup %L --lookup %L --to com1";
        QTest::newRow("K72e passing through on serial")
            << "--model K72e --pass-through --app %A --lookup %L --first-lookup 4 --to com1";
        QTest::newRow("R300 over TCP/IP")
            << "--model R300 --app %A --format %F --lookup %L --to %TCP";
    }
    void dryRun() {
        QFETCH(QString, args);
        args.replace("%A", m_dir.filePath("app.fpc"))
            .replace("%F", m_dir.filePath("label.fmt"))
            .replace("%L", m_dir.filePath("t1.txt"));
        ZelsimPrinter printer({"--serial", "--tcp", "127.0.0.1:0"});
        QCOMPARE(cli(QStringList{"download"} + args.split(' '), printer).status, 0);
        const QString dry = m_dir.filePath("dry.bin");
        QFile::remove(dry);
        const QByteArray sent = printer.captured();
        QCOMPARE(cli(QStringList{"download", "--dry-run", dry} + args.split(' '), printer).status,
                 0);
        QFile file(dry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), sent);
        QCOMPARE(printer.captured(), sent);
    }

    // Two printers on loopback addresses, found on their port, and nothing else.
    void discover() {
        ZelsimPrinter first({"--tcp", "127.0.0.3:0"});
        ZelsimPrinter second({"--tcp", "127.0.0.5:" + first.port});
        QVERIFY(!second.port.isEmpty());
        const Outcome found =
            cli({"discover", "127.0.0.2-7", "--port", first.port, "--parallel", "1"}, first);
        QCOMPARE(found.status, 0);
        const QStringList lines = found.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("127.0.0.3 ") && lines[1].startsWith("127.0.0.5 "));
        QVERIFY(lines[0].contains(first.port + "  {CP=0,P=001,0}"));
        const Outcome none = cli({"discover", "127.0.0.8-9", "--port", first.port}, first);
        QCOMPARE(none.status, 1);
        QCOMPARE(none.out, QString());
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"

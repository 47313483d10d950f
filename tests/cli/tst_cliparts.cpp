#include "AddressRange.h"
#include "CliOptions.h"
#include "DownloadJob.h"
#include "SettingsStore.h"
#include "TargetResult.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The command line's pieces without a printer: targets, address ranges,
// which jobs may start, and the exit status of several targets.
class tst_CliParts : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString file(const QString &name) {
        QFile f(m_dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write("{XA,1}\r\n");
        return f.fileName();
    }
    std::optional<DownloadJob> resolve(QStringList args, QString *error) {
        args.replaceInStrings("%APP", file("app.fpc")).replaceInStrings("%LU", file("t.txt"));
        args.replaceInStrings("%DIR", m_dir.path());
        CliOptions options;
        const std::optional<CliRequest> request =
            options.parse(QStringList{"zeldl-cli"} + args, error);
        SettingsStore store;
        return request ? DownloadJob::resolve(*request, store, error) : std::nullopt;
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        SettingsStore store;
        file("app.fpc");
        QFile tcp(m_dir.filePath("tcp.zelset")), serial(m_dir.filePath("serial.zelset"));
        QVERIFY(tcp.open(QIODevice::WriteOnly) && serial.open(QIODevice::WriteOnly));
        tcp.write("[DownloadSet]\nVersion=1\nModel=T540\nApplication=app.fpc\n"
                  "[Link]\nMode=tcp\nIPAddress=10.9.8.7\nIPPort=9200\n");
        serial.write("[DownloadSet]\nVersion=1\nModel=Q410\nApplication=app.fpc\n"
                     "[Link]\nMode=serial\nComPort=2\nSettings=4800,E,7,1\nHandshaking=0\n");
        // The window's link: TCP/IP to 10.1.2.3:9101, serial line 19200,E,7,2 with RTS.
        for (const auto &[key, value] : {std::pair{"Mode", "1"},
                                         {"IPAddress", "10.1.2.3"},
                                         {"IPPort", "9101"},
                                         {"Settings", "19200,E,7,2"},
                                         {"Handshaking", "2"}})
            store.write(key, value);
    }

    void targets_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name"); // empty: refused
        for (const auto &[text, name] : {std::pair{"com1", "com1"},
                                         {"COM128", "com128"},
                                         {"com0", ""},
                                         {"com129", ""},
                                         {"tcp:printer-7", "tcp:printer-7:9100"},
                                         {"tcp:10.0.0.5:9101", "tcp:10.0.0.5:9101"},
                                         {"tcp:[::1]:9100", "tcp:[::1]:9100"},
                                         {"tcp:h:0", ""},
                                         {"tcp:h:65536", ""},
                                         {"tcp:", ""},
                                         {"lpt1", ""}})
            QTest::newRow(text) << QString(text) << QString(name);
    }
    void targets() {
        QFETCH(QString, text);
        QString error;
        const std::optional<Target> target = Target::parse(text, &error);
        QTEST(target ? target->name() : QString(), "name");
        QCOMPARE(error.isEmpty(), bool(target));
    }

    void ranges_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("addresses"); // empty: refused
        QTest::newRow("subnet") << "127.0.0.0/30" << QStringList{"127.0.0.1", "127.0.0.2"};
        QTest::newRow("/32") << "127.0.0.9/32" << QStringList{"127.0.0.9"};
        QTest::newRow("short range") << "10.0.0.254-255" << QStringList{"10.0.0.254", "10.0.0.255"};
        QTest::newRow("across a /24")
            << "10.0.0.255-10.0.1.1" << QStringList{"10.0.0.255", "10.0.1.0", "10.0.1.1"};
        QTest::newRow("single") << "1.2.3.4" << QStringList{"1.2.3.4"};
        QTest::newRow("backwards") << "10.0.0.9-3" << QStringList();
        QTest::newRow("too wide") << "10.0.0.0/8" << QStringList();
        QTest::newRow("IPv6") << "::1/128" << QStringList();
        QTest::newRow("name") << "printers" << QStringList();
    }
    void ranges() {
        QFETCH(QString, text);
        QString error;
        QStringList addresses;
        if (const auto hosts = AddressRange::parse(text, &error))
            for (const QHostAddress &host : *hosts)
                addresses << host.toString();
        QTEST(addresses, "addresses");
    }

    // Which jobs start, with which links; a refused one names its reason.
    void jobs_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("outcome"); // the targets, or a part of the reason
        const auto row = [](const char *name, const QString &args, const char *outcome) {
            QTest::newRow(name) << args.split(' ') << QString(outcome);
        };
        row("window's link", "download --model T540 --app %APP", "tcp:10.1.2.3:9101");
        row("serial target takes the window's line", "download --model T540 --app %APP --to com2",
            "com2 19200,E,7,2 rts");
        row("--line and --flow",
            "download --model Q410 --app %APP --to com2 --line 9600,o,7,1 --flow none",
            "com2 9600,o,7,1 none");
        row("set file's TCP/IP link", "download %DIR/tcp.zelset", "tcp:10.9.8.7:9200");
        row("set file's serial link", "download %DIR/serial.zelset", "com2 4800,E,7,1 none");
        row("another port, the set's line", "download %DIR/serial.zelset --to com3",
            "com3 4800,E,7,1 none");
        row("Q410 by the window's TCP/IP link", "download --model Q410 --app %APP",
            "does not download over TCP/IP");
        row("K72e over TCP/IP", "download --model K72e --app %APP --to tcp:h", "--pass-through");
        row("K72e passing through over TCP/IP",
            "download --model K72e --pass-through --app %APP --to tcp:h", "tcp:h:9100");
        row("pass-through on a T540", "download --model T540 --pass-through --app %APP",
            "K72e only");
        row("unknown model", "download --model Q999 --app %APP", "unknown model Q999");
        row("no model", "download --app %APP", "--model");
        row("missing file", "download --model T540 --app nowhere.fpc", "nowhere.fpc: no such file");
        row("nothing to send", "download --model T540", "nothing to download");
        row("set file and set options", "download x.zelset --model T540", "not both");
        row("lookups past 10",
            "download --model Q410 --first-lookup 9 --lookup %LU --lookup %LU --to com1",
            "do not fit");
        row("bundle with lookups", "download --model Q410 --app x.all --lookup %LU --to com1",
            "bundle");
        row("same target twice", "download --model T540 --app %APP --to com1 --to COM1", "twice");
        row("dry run of two", "download --model T540 --app %APP --to com1 --to com2 --dry-run f",
            "at most one");
        row("discover option", "download --model T540 --app %APP --port 9", "discover");
        row("bad line", "download --model T540 --app %APP --line 9600", "--line");
        row("bad flow", "download --model T540 --app %APP --flow fast", "--flow");
    }
    void jobs() {
        QFETCH(QStringList, args);
        QFETCH(QString, outcome);
        QString error;
        const std::optional<DownloadJob> job = resolve(args, &error);
        QStringList targets;
        for (const Target &target : job ? job->targets : QList<Target>())
            targets << (target.isSerial() ? QStringList{target.name(), target.lineSettings,
                                                        Target::flowName(target.handshaking)}
                                                .join(' ')
                                          : target.name());
        QVERIFY2(job ? targets.join(',') == outcome : error.contains(outcome),
                 qPrintable(job ? targets.join(',') : error));
    }

    // A worker gets the job in its arguments: it must run the same one.
    void workerRunsTheSameJob() {
        QString error;
        const auto job = resolve(QString("download --model K72e --pass-through --app %APP "
                                         "--lookup %LU --first-lookup 3 --to com2 --to tcp:h:9 "
                                         "--line 9600,o,7,1 --line-settings model --trace t")
                                     .split(' '),
                                 &error);
        QVERIFY2(job, qPrintable(error));
        for (const Target &target : job->targets) {
            CliOptions options;
            const auto request =
                options.parse(QStringList{"zeldl-cli"} + job->workerArguments(target), &error);
            QVERIFY2(request, qPrintable(error));
            SettingsStore store;
            const auto worker = DownloadJob::resolve(*request, store, &error);
            QVERIFY2(worker, qPrintable(error));
            QCOMPARE(worker->printer, job->printer);
            QVERIFY(worker->passThrough && worker->takeModelSettings && worker->json);
            QCOMPARE(worker->set.applicationPath(), job->set.applicationPath());
            QCOMPARE(worker->set.lookups().first().path, job->set.lookups().first().path);
            QCOMPARE(worker->set.firstLookup(), 3);
            QCOMPARE(worker->targets.size(), 1);
            QCOMPARE(worker->targets[0].name(), target.name());
            QCOMPARE(worker->targets[0].lineSettings, target.lineSettings);
            QCOMPARE(worker->trace, "t." + QString(target.isSerial() ? "com2" : "tcp_h_9"));
        }
    }

    void exitStatusOfSeveral_data() {
        QTest::addColumn<QList<int>>("outcomes");
        QTest::addColumn<int>("status");
        using O = TargetResult::Outcome;
        QTest::newRow("all complete") << QList<int>{int(O::Complete), int(O::Complete)} << 0;
        QTest::newRow("one unreachable") << QList<int>{int(O::Complete), int(O::Unreachable)} << 3;
        QTest::newRow("failed before unreachable")
            << QList<int>{int(O::Unreachable), int(O::Failed), int(O::Complete)} << 1;
        QTest::newRow("interrupted first")
            << QList<int>{int(O::Failed), int(O::Cancelled), int(O::Unreachable)} << 130;
    }
    void exitStatusOfSeveral() {
        QFETCH(QList<int>, outcomes);
        QList<TargetResult> results;
        for (const int outcome : outcomes) {
            TargetResult result;
            result.outcome = TargetResult::Outcome(outcome);
            // What a worker reports is what the parent reads back.
            results << TargetResult::fromJson(result.toJson());
        }
        QTEST(TargetResult::exitStatus(results), "status");
    }
};

QTEST_GUILESS_MAIN(tst_CliParts)
#include "tst_cliparts.moc"

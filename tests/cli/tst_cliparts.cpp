#include "AddressRange.h"
#include "CliOptions.h"
#include "DownloadJob.h"
#include "HeadlessView.h"
#include "PtyPair.h"
#include "SettingsStore.h"
#include "TargetResult.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The command line's pieces without a printer: targets, address ranges,
// which jobs may start, and the exit status of several targets.
class tst_CliParts : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    void file(const QString &name, const QByteArray &bytes = "{XA,1}\r\n") {
        QFile f(QDir(m_dir.path()).filePath(name)); // the store's path is absolute
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) > 0);
    }
    // The job a "download" command line asks for, or nothing with the reason.
    static std::optional<DownloadJob> resolveArgs(const QStringList &args, QString *error) {
        CliOptions options;
        const std::optional<CliRequest> request = options.parse(args, error);
        SettingsStore store;
        return request ? DownloadJob::resolve(*request, store, error) : std::nullopt;
    }
    // With "%" for the folder of the files written below.
    std::optional<DownloadJob> resolve(QString args, QString *error) {
        args.replace('%', m_dir.path() + '/');
        return resolveArgs(("zeldl-cli download " + args).split(' '), error);
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        file("app.fpc");
        file("t.txt");
        file("tcp.zelset", "[DownloadSet]\nVersion=1\nModel=T540\nApplication=app.fpc\n"
                           "[Link]\nMode=tcp\nIPAddress=10.9.8.7\nIPPort=9200\n");
        file("serial.zelset",
             "[DownloadSet]\nVersion=1\nModel=Q410\nApplication=app.fpc\n"
             "[Link]\nMode=serial\nComPort=2\nSettings=4800,E,7,1\nHandshaking=0\n");
        // The window's link: TCP/IP to 10.1.2.3:9101, serial line 19200,E,7,2 with RTS.
        file(SettingsStore::filePath(), "[Properties]\nMode=1\nIPAddress=10.1.2.3\nIPPort=9101\n"
                                        "Settings=19200,E,7,2\nHandshaking=2\n");
    }

    // Each text as a download target and as a range to discover; neither
    // takes the other's.
    void targetsAndRanges_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");    // empty: refused
        QTest::addColumn<QString>("addresses"); // empty: refused
        for (const auto &[text, target, addresses] :
             {std::tuple{"com1", "com1", ""},
              {"COM128", "com128", ""},
              {"com0", "", ""},
              {"com129", "", ""},
              {"tcp:printer-7", "tcp:printer-7:9100", ""},
              {"tcp:10.0.0.5:9101", "tcp:10.0.0.5:9101", ""},
              {"tcp:[::1]:9100", "tcp:[::1]:9100", ""},
              {"tcp:h:0", "", ""},
              {"tcp:h:65536", "", ""},
              {"tcp:", "", ""},
              {"lpt1", "", ""},
              {"127.0.0.0/30", "", "127.0.0.1 127.0.0.2"},
              {"127.0.0.9/32", "", "127.0.0.9"},
              {"10.0.0.254-255", "", "10.0.0.254 10.0.0.255"},
              {"10.0.0.255-10.0.1.1", "", "10.0.0.255 10.0.1.0 10.0.1.1"},
              {"1.2.3.4", "", "1.2.3.4"},
              {"10.0.0.9-3", "", ""},
              {"10.0.0.0/8", "", ""}, // too wide
              {"::1/128", "", ""},
              {"printers", "", ""}})
            QTest::newRow(text) << QString(text) << QString(target) << QString(addresses);
    }
    void targetsAndRanges() {
        QFETCH(QString, text);
        QString error;
        const std::optional<Target> target = Target::parse(text, &error);
        QTEST(target ? target->name() : QString(), "target");
        QCOMPARE(error.isEmpty(), bool(target));
        QStringList addresses;
        for (const QHostAddress &host :
             AddressRange::parse(text, &error).value_or(QList<QHostAddress>()))
            addresses << host.toString();
        QTEST(addresses.join(' '), "addresses");
    }

    // Which jobs start, with which links; a refused one names its reason.
    void jobs_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("outcome"); // the targets, or a part of the reason
        const std::pair<const char *, const char *> rows[] = {
            // The window's links.
            {"--model T540 --app %app.fpc", "tcp:10.1.2.3:9101"},
            {"--model T540 --app %app.fpc --to com2", "com2 19200,E,7,2 rts"},
            {"--model Q410 --app %app.fpc --to com2 --line 9600,o,7,1 --flow none",
             "com2 9600,o,7,1 none"},
            // A set file's links.
            {"%tcp.zelset", "tcp:10.9.8.7:9200"},
            {"%serial.zelset", "com2 4800,E,7,1 none"},
            {"%serial.zelset --to com3", "com3 4800,E,7,1 none"},
            // What the models allow.
            {"--model Q410 --app %app.fpc", "does not download over TCP/IP"},
            {"--model K72e --app %app.fpc --to tcp:h", "--pass-through"},
            {"--model T540 --pass-through --app %app.fpc", "K72e only"},
            {"--model Q999 --app %app.fpc", "unknown model Q999"},
            {"--app %app.fpc", "--model"},
            // What is sent, and where.
            {"--model T540 --app nowhere.fpc", "nowhere.fpc: no such file"},
            {"--model T540", "nothing to download"},
            {"x.zelset --model T540", "not both"},
            {"--model Q410 --first-lookup 9 --lookup %t.txt --lookup %t.txt --to com1",
             "do not fit"},
            {"--model Q410 --app x.all --lookup %t.txt --to com1", "bundle"},
            {"--model T540 --app %app.fpc --to com1 --to COM1", "twice"},
            {"--model T540 --app %app.fpc --to com1 --to com2 --dry-run f", "at most one"},
            {"--model T540 --app %app.fpc --port 9", "discover"},
            {"--model T540 --app %app.fpc --line 9600", "--line"},
            {"--model T540 --app %app.fpc --flow fast", "--flow"},
        };
        for (const auto &[args, outcome] : rows)
            QTest::newRow(args) << QString(args) << QString(outcome);
    }
    void jobs() {
        QFETCH(QString, args);
        QFETCH(QString, outcome);
        QString error;
        const std::optional<DownloadJob> job = resolve(args, &error);
        QStringList targets;
        for (const Target &t : job ? job->targets : QList<Target>())
            targets << t.name() + (t.isSerial() ? ' ' + t.lineSettings + ' ' +
                                                      Target::flowName(t.handshaking)
                                                : QString());
        QVERIFY2(job ? targets.join(',') == outcome : error.contains(outcome),
                 qPrintable(job ? targets.join(',') : error));
    }

    // A worker gets the job in its arguments: it must run the same one.
    void workerRunsTheSameJob() {
        QString error;
        const auto job = resolve("--model K72e --pass-through --app %app.fpc --lookup %t.txt "
                                 "--first-lookup 3 --to com2 --to tcp:h:9 --line 9600,o,7,1 "
                                 "--line-settings model",
                                 &error);
        QVERIFY2(job, qPrintable(error));
        for (const Target &target : job->targets) {
            const auto worker =
                resolveArgs(QStringList{"zeldl-cli"} + job->workerArguments(target), &error);
            QVERIFY2(worker, qPrintable(error));
            const Target &only = worker->targets.value(0);
            // Its files, its one target, JSON and trace show in a real run of several.
            QCOMPARE(
                QStringList({worker->modelName(), QString::number(worker->set.firstLookup()),
                             only.name(), only.lineSettings, QString::number(worker->passThrough),
                             QString::number(worker->takeModelSettings)}),
                QStringList({"K72e", "3", target.name(), target.lineSettings, "1", "1"}));
        }
        // Handshaking numbers no line has are named by nothing, not read past the names.
        QVERIFY(Target::flowName(4).isEmpty() && Target::flowName(-1).isEmpty());
    }

    // On a terminal the progress line sits under the status lines: drawn
    // at once, cleared before each status line and at the end.
    void progressLineOnATerminal() {
        PtyPair pty;
        std::FILE *out = ::fdopen(::dup(pty.slaveFd()), "w");
        QVERIFY(pty.isValid() && out);
        HeadlessView view(false, false, out);
        view.setProgressValue(50);
        view.setProgressVisible(true);
        QCOMPARE(pty.readAvailable(), "\r\033[K 50%  0.0 kB/s  0:00 left");
        view.setStatus("Downloading app.fpc");
        view.finish();
        std::fclose(out);
        QCOMPARE(pty.readAvailable(), "\r\033[KDownloading app.fpc\n"
                                      "\r\033[K 50%  0.0 kB/s  0:00 left\r\033[K");
    }

    // Of several targets, one letter each: Complete, Failed, Unreachable or
    // Cancelled.
    void exitStatusOfSeveral() {
        QStringList statuses;
        for (const QByteArray outcomes : {"CC", "CU", "UFC", "FXU"}) {
            QList<TargetResult> results;
            for (const char outcome : outcomes) {
                TargetResult result;
                result.outcome = TargetResult::Outcome(QByteArray("CFUX").indexOf(outcome));
                // What a worker reports is what the parent reads back.
                results << TargetResult::fromJson(result.toJson());
            }
            statuses << QString::number(TargetResult::exitStatus(results));
        }
        // Interrupted first, then failed, then unreachable.
        QCOMPARE(statuses.join(' '), "0 3 1 130");
    }
};

QTEST_GUILESS_MAIN(tst_CliParts)
#include "tst_cliparts.moc"

#include "InstanceLock.h"
#include "PtyPair.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {
// The serial lock files naming `pid`, wherever the serial layer keeps them.
QStringList serialLocksOf(qint64 pid) {
    QStringList found;
    for (const QString &folder : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
                                  QStringLiteral("/var/spool/locks"), QDir::tempPath()}) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({QStringLiteral("LCK..*")}, QDir::Files)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly) &&
                file.readAll().trimmed().startsWith(QByteArray::number(pid)))
                found << file.fileName();
        }
    }
    return found;
}
} // namespace

// The program asked to end from outside (a logout, a service manager, Ctrl+C
// in its terminal) runs its own close path: port closed, locks released,
// exit code 0.
class tst_Program : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void endsCleanlyOnSignals_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void endsCleanlyOnSignals() {
        QFETCH(int, signalNumber);
        QTemporaryDir dir;
        PtyPair line;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
        env.insert("XDG_RUNTIME_DIR", dir.path());
        env.insert("ZELDL_COM1", line.slavePath());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ZELDL_PATH), {});
        QVERIFY(program.waitForStarted(10000));
        // Up once it holds the line.
        QTRY_VERIFY_WITH_TIMEOUT(!serialLocksOf(program.processId()).isEmpty(), 10000);
        ::kill(pid_t(program.processId()), signalNumber);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(serialLocksOf(program.processId()), QStringList());
        qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
        InstanceLock next;
        QCOMPARE(next.tryTake(), InstanceLock::Outcome::Taken);
    }
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"

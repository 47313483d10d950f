#include "InstanceLock.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// The lock across processes: exactly one holder, and a dead holder's lock
// and socket never block the next start.
class tst_InstanceLock : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;

    static std::unique_ptr<QProcess> startProbe() {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(PROBE_PATH), {});
        return p;
    }
    static QByteArray outcomeOf(QProcess &p) {
        if (!p.canReadLine())
            p.waitForReadyRead(10000);
        return p.readLine().trimmed();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    }

    void tenAtOnceExactlyOneHolds() {
        std::vector<std::unique_ptr<QProcess>> probes;
        for (int i = 0; i < 10; ++i)
            probes.push_back(startProbe());
        int held = 0, busy = 0;
        for (auto &p : probes) {
            const QByteArray outcome = outcomeOf(*p);
            held += outcome == "held";
            busy += outcome == "busy";
        }
        QCOMPARE(held, 1);
        QCOMPARE(busy, 9);
        for (auto &p : probes) {
            p->closeWriteChannel();
            QVERIFY(p->waitForFinished(10000));
        }
        // Released by its holder: free again.
        InstanceLock lock;
        QCOMPARE(lock.tryTake(), InstanceLock::Outcome::Taken);
    }

    void deadHoldersLockDoesNotBlock() {
        auto holder = startProbe();
        QCOMPARE(outcomeOf(*holder), QByteArray("held"));
        QVERIFY(QFile::exists(InstanceLock::lockFilePath()));
        QVERIFY(QFile::exists(InstanceLock::serverName()));
        holder->kill();
        QVERIFY(holder->waitForFinished(10000));
        // The lock file and the socket file are still there.
        QVERIFY(QFile::exists(InstanceLock::lockFilePath()));

        InstanceLock lock;
        QCOMPARE(lock.tryTake(), InstanceLock::Outcome::Taken);
        // The new holder listens again, so a later start can hand over.
        QLocalSocket client;
        client.connectToServer(InstanceLock::serverName());
        QVERIFY(client.waitForConnected(5000));
    }

    void secondInProcessSeesItHeld() {
        InstanceLock first;
        QCOMPARE(first.tryTake(), InstanceLock::Outcome::Taken);
        InstanceLock second;
        QCOMPARE(second.tryTake(), InstanceLock::Outcome::HeldElsewhere);
        QVERIFY(!second.isHeld());
        first.release();
        QCOMPARE(second.tryTake(), InstanceLock::Outcome::Taken);
    }
};

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"

#include "InstanceLock.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The lock across processes: held by one start at a time, and a killed
// holder's lock and socket do not block the next start.
class tst_InstanceLock : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;

private Q_SLOTS:
    void killedHolderDoesNotBlock() {
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        QProcess holder;
        holder.start(QStringLiteral(PROBE_PATH), {});
        QVERIFY(holder.waitForReadyRead(10000)); // it has tried
        InstanceLock lock;
        QCOMPARE(lock.tryTake(), InstanceLock::Outcome::HeldElsewhere);
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(lock.tryTake(), InstanceLock::Outcome::Taken);
        // Only this user may ask it to hand over.
        QCOMPARE(QFileInfo(InstanceLock::serverName()).permissions() & 0x0066, 0);
        // Listening again, so a later start can hand over.
        QLocalSocket client;
        client.connectToServer(InstanceLock::serverName());
        QVERIFY(client.waitForConnected(5000));
        // Released, it is free for the next start.
        lock.release();
        QProcess next;
        next.start(QStringLiteral(PROBE_PATH), {});
        QVERIFY(next.waitForReadyRead(10000));
        QCOMPARE(next.readAll().trimmed(), QByteArray::number(int(InstanceLock::Outcome::Taken)));
        next.closeWriteChannel();
        QVERIFY(next.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"

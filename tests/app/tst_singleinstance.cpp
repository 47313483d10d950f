#include "InstanceLock.h"
#include "Startup.h"

#include <QApplication>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// A second start against a real running utility: it says so, hands over to
// the first, and ends; a killed first never blocks the next start.
class tst_SingleInstance : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
    QStringList m_seenBoxes;

    std::unique_ptr<QProcess> startUtility() {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZELDL_COM1", "/dev/zeldl-test-no-port");
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(ZELDL_PATH), {});
        return p;
    }
    static bool serverAnswers() {
        QLocalSocket s;
        s.connectToServer(InstanceLock::serverName());
        return s.waitForConnected(200);
    }
    // Presses OK on each message box as it comes, remembering what it said.
    void answerBoxes() {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_seenBoxes << box->windowTitle() + ": " + box->text();
                box->accept();
            }
        });
        timer->start(10);
    }

private Q_SLOTS:
    void initTestCase() {
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        answerBoxes();
    }

    void secondStartHandsOverAndEnds() {
        auto first = startUtility();
        QTRY_VERIFY_WITH_TIMEOUT(serverAnswers(), 15000);

        InstanceLock lock;
        QVERIFY(!checkSingleInstance(lock));
        QCOMPARE(m_seenBoxes, QStringList{"App Running: This application is already running"});
        QVERIFY(!lock.isHeld());
        // The first restored and raised its window, and said so.
        QVERIFY(InstanceLock::askHolderToRaise());

        // The whole start procedure: the notice, the hand-over, the end (a
        // start that ran its own window would not return here).
        m_seenBoxes.clear();
        QCOMPARE(runApplication(), 0);
        QCOMPARE(m_seenBoxes, QStringList{"App Running: This application is already running"});

        // Killed: its lock and socket stay behind but do not block.
        first->kill();
        QVERIFY(first->waitForFinished(10000));
        auto next = startUtility();
        QTRY_VERIFY_WITH_TIMEOUT(serverAnswers(), 15000);
        QVERIFY(InstanceLock::askHolderToRaise());
        next->terminate();
        QVERIFY(next->waitForFinished(10000));
    }
};

QTEST_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"

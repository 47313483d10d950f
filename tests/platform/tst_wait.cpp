#include "Clock.h"
#include "CpuTime.h"
#include "Wait.h"

#include <QTest>
#include <QTimer>

class tst_Wait : public QObject {
    Q_OBJECT
    bool m_closing = false;

private Q_SLOTS:
    void init() {
        Clock::setScale(0.01);
        m_closing = false;
    }

    void zeroDeadlineReturnsWithoutYield() {
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        Wait::untilDeadline(Clock::now(), m_closing);
        Wait::untilDeadline(Clock::now() - 5, m_closing);
        QVERIFY(!ran);
        QTRY_VERIFY(ran);
    }

    void conditionEndsTheWaitEarly() {
        bool flag = false;
        QTimer::singleShot(30, this, [&] { flag = true; });
        const double start = Clock::now();
        QCOMPARE(Wait::until([&] { return flag; }, start + 100.0, m_closing),
                 Wait::Result::ConditionMet);
        QVERIFY(Clock::now() - start < 50.0);
    }

    void deadlineEndsOnlyWhenStrictlyPassed() {
        const double deadline = Clock::now() + 0.5;
        QCOMPARE(Wait::until([] { return false; }, deadline, m_closing), Wait::Result::TimedOut);
        QVERIFY(Clock::now() > deadline);
        const double pauseEnd = Clock::now() + 0.5;
        Wait::untilDeadline(pauseEnd, m_closing);
        QVERIFY(Clock::now() >= pauseEnd);
    }

    void eventsRunInsideTheWaitWhichRunsToItsEnd() {
        // A handler (Cancel) raising a flag does not end a wait on another
        // condition.
        bool cancelled = false;
        QTimer::singleShot(10, this, [&] { cancelled = true; });
        const double deadline = Clock::now() + 1.0; // 10 ms real
        QCOMPARE(Wait::until([] { return false; }, deadline, m_closing), Wait::Result::TimedOut);
        QVERIFY(cancelled);
        QVERIFY(Clock::now() > deadline);
    }

    void closingGivesUpAtOnce() {
        QTimer::singleShot(20, this, [&] { m_closing = true; });
        const double start = Clock::now();
        Wait::until([] { return false; }, start + 1e6, m_closing);
        Wait::untilDeadline(start + 1e6, m_closing);
        QVERIFY(Clock::now() - start < 1000.0);
    }

    void timeScaleFromEnvironment() {
        QCOMPARE(qgetenv("ZELDL_TIME_SCALE"), QByteArray("0.01"));
        QCOMPARE(Clock::realMilliseconds(30.0), qint64(300));
    }

    void longWaitDoesNotSpin() {
        Clock::setScale(1.0);
        const double before = cpuSeconds();
        QElapsedTimer real;
        real.start();
        Wait::until([] { return false; }, Clock::now() + 2.0, m_closing);
        const double used = cpuSeconds() - before;
        QVERIFY(real.elapsed() >= 2000);
        QVERIFY2(used < 0.2, qPrintable(QString("CPU %1 s for a 2 s wait").arg(used)));
    }
};

QTEST_GUILESS_MAIN(tst_Wait)
#include "tst_wait.moc"

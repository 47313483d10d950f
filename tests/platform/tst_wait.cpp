#include "Clock.h"
#include "CpuTime.h"
#include "Wait.h"

#include <QTest>
#include <QTimer>

// The one wait: ends when its condition holds, strictly after its deadline,
// or at once when the program closes, and sleeps in the meantime.
class tst_Wait : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Real time, so that the processor time of a real 2 s wait is measured.
    void initTestCase() { Clock::setScale(1.0); }

    void wait_data() {
        QTest::addColumn<double>("timeout"); // seconds, in real time
        // The tag names what ends the wait; a timer raises it after 20 ms.
        // "pause" is untilDeadline, which ends at or after its deadline.
        QTest::newRow("condition") << 10.0;
        QTest::newRow("closing") << 10.0;
        QTest::newRow("deadline") << 2.0;
        QTest::newRow("pause deadline") << 0.5;
    }
    void wait() {
        QFETCH(double, timeout);
        const QByteArray by = QTest::currentDataTag();
        bool condition = false;
        bool closing = false;
        if (!by.endsWith("deadline"))
            QTimer::singleShot(20, this, [&] { (by == "closing" ? closing : condition) = true; });
        const double cpuBefore = cpuSeconds();
        const double deadline = Clock::now() + timeout;
        auto result = Wait::Result::TimedOut;
        if (by == "pause deadline")
            Wait::untilDeadline(deadline, closing);
        else
            result = Wait::until([&] { return condition; }, deadline, closing);
        const double used = cpuSeconds() - cpuBefore;
        QCOMPARE(result == Wait::Result::ConditionMet, by == "condition");
        if (by == "deadline")
            QVERIFY(Clock::now() > deadline);
        else
            QVERIFY(by == "pause deadline" ? Clock::now() >= deadline
                                           : Clock::now() < deadline - 5.0);
        // Far under a tenth of a core.
        QVERIFY2(used < 0.05, qPrintable(QString("CPU %1 s").arg(used)));
    }
};

QTEST_GUILESS_MAIN(tst_Wait)
#include "tst_wait.moc"

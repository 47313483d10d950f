#include "Wait.h"

#include "Clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {
// Longest real sleep between two looks at the condition; conditions change
// through events, so this only bounds the cost of a missed wake-up.
constexpr qint64 kMaxSleepMs = 200;

// Sleeps in the dispatcher until an event arrives or the given real time has
// passed, then delivers what is pending.
void sleepForEvents(qint64 realMs) {
    QAbstractEventDispatcher *dispatcher = QThread::currentThread()->eventDispatcher();
    if (!dispatcher) {
        QThread::msleep(quint64(std::max<qint64>(realMs, 1)));
        return;
    }
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(int(std::clamp<qint64>(realMs, 0, kMaxSleepMs)));
    QCoreApplication::sendPostedEvents();
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
} // namespace

namespace Wait {

Result until(const std::function<bool()> &condition, double deadline, const bool &closing) {
    for (;;) {
        if (condition())
            return Result::ConditionMet;
        if (closing || Clock::now() > deadline)
            return Result::TimedOut;
        sleepForEvents(Clock::realMilliseconds(deadline - Clock::now()));
    }
}

void untilDeadline(double deadline, const bool &closing) {
    while (!closing && Clock::now() < deadline)
        sleepForEvents(Clock::realMilliseconds(deadline - Clock::now()));
}

void yieldOnce() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int linkOnlyMs(double deadline) {
    return int(std::min(kLinkOnlyMs, Clock::realMilliseconds(deadline - Clock::now())));
}

} // namespace Wait

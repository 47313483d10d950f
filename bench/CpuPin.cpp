#include "CpuPin.h"

#include <QFile>
#include <QList>
#include <QThread>

#include <sched.h>

namespace {
// Idle and iowait ticks of each CPU by number, from /proc/stat.
QList<qint64> idleTicks() {
    QList<qint64> idle;
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return idle;
    for (QByteArray line = stat.readLine(); !line.isEmpty(); line = stat.readLine()) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || !fields[0].startsWith("cpu") || fields[0] == "cpu")
            continue;
        const int cpu = fields[0].mid(3).toInt();
        if (cpu >= idle.size())
            idle.resize(cpu + 1, -1);
        idle[cpu] = fields[4].toLongLong() + fields[5].toLongLong();
    }
    return idle;
}
} // namespace

int pinToIdlestCpu() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return -1;
    const QList<qint64> before = idleTicks();
    QThread::msleep(200);
    const QList<qint64> after = idleTicks();
    int best = -1;
    qint64 bestIdle = -1;
    for (int cpu = 0; cpu < after.size() && cpu < before.size(); ++cpu) {
        if (!CPU_ISSET(cpu, &allowed) || before[cpu] < 0)
            continue;
        if (after[cpu] - before[cpu] > bestIdle) {
            bestIdle = after[cpu] - before[cpu];
            best = cpu;
        }
    }
    if (best < 0)
        return -1;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(best, &one);
    return sched_setaffinity(0, sizeof one, &one) == 0 ? best : -1;
}

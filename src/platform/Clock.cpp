#include "Clock.h"

#include <QString>
#include <QtGlobal>

#include <cmath>

namespace {
double readScale() {
    bool ok = false;
    const double value = qEnvironmentVariable("ZELDL_TIME_SCALE").toDouble(&ok);
    return (ok && std::isfinite(value) && value > 0.0) ? value : 1.0;
}

double &currentScale() {
    static double scale = readScale();
    return scale;
}

const QElapsedTimer &origin() {
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
} // namespace

double Clock::now() {
    return double(origin().nsecsElapsed()) / 1e9 / currentScale();
}

double Clock::scale() {
    return currentScale();
}

void Clock::setScale(double scale) {
    if (std::isfinite(scale) && scale > 0.0)
        currentScale() = scale;
}

qint64 Clock::realMilliseconds(double clockSeconds) {
    if (!(clockSeconds > 0.0))
        return 0;
    const double ms = std::ceil(clockSeconds * currentScale() * 1000.0);
    return ms > 1e12 ? qint64(1e12) : qint64(ms);
}

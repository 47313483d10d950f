#pragma once

#include <QElapsedTimer>

// The monotonic clock every deadline is measured on, in seconds. The
// environment variable ZELDL_TIME_SCALE (for example 0.01) makes it run
// faster than real time, so that tests exercise the long protocol waits
// with the same logic in a fraction of the time.
class Clock {
public:
    // Seconds since the first use of the clock, scaled.
    static double now();

    // The real-time factor: real seconds per clock second (1 by default).
    static double scale();

    // Real milliseconds that the given clock seconds take.
    static qint64 realMilliseconds(double clockSeconds);

    // Overrides the environment; for tests.
    static void setScale(double scale);
};

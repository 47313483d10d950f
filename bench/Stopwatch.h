#pragma once

#include "CpuTime.h"

#include <QElapsedTimer>

// Real and CPU seconds of one run; a negative `seconds` marks a run that
// failed. CPU time is the work of this process alone, where real time also
// holds the waits for the printer and for a busy machine.
struct Elapsed {
    double seconds = -1;
    double cpuSeconds = 0;
};

class Stopwatch {
public:
    Stopwatch() : m_cpuStart(cpuSeconds()) { m_real.start(); }
    Elapsed stop() const {
        return {double(m_real.nsecsElapsed()) / 1e9, cpuSeconds() - m_cpuStart};
    }

private:
    QElapsedTimer m_real;
    double m_cpuStart;
};

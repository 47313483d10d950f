#include "Pause.h"

#include "Clock.h"
#include "SharedState.h"
#include "Wait.h"

void pauseFor(SharedState &state, float &seconds) {
    Wait::untilDeadline(Clock::now() + double(seconds), state.exitRequested);
}

#pragma once

struct SharedState;

// Waits the given seconds with the event loop running; zero or negative
// seconds return at once without a yield.
void pauseFor(SharedState &state, float &seconds);

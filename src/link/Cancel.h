#pragma once

class EngineView;
struct SharedState;

// The operator's Cancel: only raises the flags. The running download stops
// at its next check, after the wait in progress has run to its end.
void requestCancel(SharedState &state, EngineView &view);

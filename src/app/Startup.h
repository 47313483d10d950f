#pragma once

class InstanceLock;
struct SharedState;

// True when this process may run: it holds the instance lock, or the lock
// could not be made at all (then it runs unguarded, after saying so).
bool checkSingleInstance(InstanceLock &lock);

// Releases the lock; when the program is closing, ends it at once.
void releaseSingleInstance(SharedState &state, InstanceLock *lock);

// The program: one instance, the main window, the event loop.
int runApplication();

#pragma once

class SettingsStore;
struct SharedState;

// Reloads "Timeout" into msngTimeout before a long reply wait and raises it
// to the 30-second floor every reply wait keeps.
float ReloadReplyTimeout(SharedState &state, const SettingsStore &store);

#pragma once

#include <QByteArray>

class SettingsStore;
struct SharedState;

// Reloads "Timeout" into msngTimeout before a long reply wait and raises it
// to the 30-second floor every reply wait keeps.
float ReloadReplyTimeout(SharedState &state, const SettingsStore &store);

// A printer's reply of at least 14 characters is good when its 13th is
// "0", " " or "=".
bool isAcceptedReply(const QByteArray &reply);

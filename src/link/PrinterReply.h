#pragma once

#include <QByteArray>

class SettingsStore;
struct SharedState;

// Reloads "Timeout" into replyTimeout before a long reply wait and raises it
// to the 30-second floor every reply wait keeps.
float reloadReplyTimeout(SharedState &state, const SettingsStore &store);

// A printer's reply of at least 14 characters is good when its 13th is
// "0", " " or "=".
bool isAcceptedReply(const QByteArray &reply);

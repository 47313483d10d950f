#pragma once

#include "Stopwatch.h"

#include <QString>

// The utility's own transfer of an application file: FileSender with the
// real serial or socket link, the event loop running in every wait. Each
// times the transfer alone (not opening the port or connecting); a transfer
// that did not end with "Download Finished" counts as failed.
namespace UtilityClient {

// How a run traces: not at all; into the traffic recorder, as the window
// does with its Traffic pane closed; or with the window's Traffic pane
// open as well, polling the recorder and painting the newest rows.
enum class Trace { None, Recorded, Shown };

Elapsed overSerial(const QString &tty, const QString &application, Trace trace);
Elapsed overTcp(quint16 port, const QString &application, Trace trace);

} // namespace UtilityClient

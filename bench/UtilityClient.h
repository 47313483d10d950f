#pragma once

#include "Stopwatch.h"

#include <QString>

// The utility's own transfer of an application file: FileSender with the
// real serial or socket link, the event loop running in every wait. Each
// times the transfer alone (not opening the port or connecting); a transfer
// that did not end with "Download Finished" counts as failed.
namespace UtilityClient {

Elapsed overSerial(const QString &tty, const QString &application);
Elapsed overTcp(quint16 port, const QString &application);

} // namespace UtilityClient

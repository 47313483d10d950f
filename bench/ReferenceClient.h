#pragma once

#include "Stopwatch.h"

#include <QString>

// The least a sender can do: blocking writes of each framed line and, where
// the printer answers, a blocking read of its 14-byte reply. Each times the
// exchange alone (not opening the device or connecting).
namespace ReferenceClient {

Elapsed overTty(const QString &tty, const QString &application);
Elapsed overTcp(quint16 port, const QString &application);

} // namespace ReferenceClient

#pragma once

#include <QString>

// Which device stands behind "Com" n. ZELDL_COM<n> (a full device path)
// overrides the platform's numbering; an empty result means no such port.
namespace SerialDeviceMap {
constexpr int kHighestPort = 128;
QString devicePath(int portNumber);
} // namespace SerialDeviceMap

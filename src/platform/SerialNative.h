#pragma once

#include <QString>

// The operating-system side of the serial port control: what Qt's serial
// port does not tell or does not do right.
namespace SerialNative {

// The port's error numbers, as the status texts and dialogs show them.
enum Error {
    NoError = 0,
    InvalidPort = 8002,       // no such device
    PortAlreadyOpen = 8005,   // busy: held by another program
    DeviceNotOpen = 8012,     // the device refused us (permission)
    DeviceAlreadyOpen = 8013, // any other reason the device cannot be opened
};

struct Probe {
    int error = NoError;
    int lockHandle = -1; // held while the port is open; release with releaseLock
};

// Opens the device once on its own to learn why it cannot be used (missing,
// busy, no permission) and takes an advisory exclusive lock on it, so that
// terminal programs holding the port are seen as busy and see us as busy.
Probe probeAndLock(const QString &devicePath);
void releaseLock(int lockHandle);

// Sets the flow control flags on an open port: code 0 none, 1 Xon/Xoff,
// 2 RTS/CTS, 3 both. Restart-on-any-character is always off, so that a
// status reply arriving after an XOFF cannot restart the output.
void applyFlowControl(int portHandle, int handshaking);

} // namespace SerialNative

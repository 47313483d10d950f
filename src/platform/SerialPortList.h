#pragma once

#include <QList>
#include <QString>

class SerialPortControl;

// The serial ports among Com1-128 that exist on this machine, each tried
// once, with what the system knows of the device behind it, so that an
// operator can tell which adapter is which.
class SerialPortList {
public:
    struct Entry {
        int number = 0; // "Com" number
        QString devicePath;
        QString description;
        QString manufacturer;
        QString usbId; // vendor:product in hex, "0403:6001"; empty when not USB
        QString serialNumber;
        int error = 0;   // 0 opened, else the port's error number
        QString problem; // why it did not open, in the operator's words

        // A port is offered when it opened or the device itself refused it.
        bool listed() const;
        // Several lines: path, description, maker, USB numbers, the probe.
        QString toolTip() const;
        // One line: "Com33: /dev/ttyUSB0 - FT232R USB UART (FTDI), USB ...".
        QString summary() const;
    };

    // Only nodes that exist are opened: the ports the system reports and
    // every ZELDL_COM<n> override that points at something. `port` is left
    // closed on the number it had.
    static QList<Entry> scan(SerialPortControl &port);

    // What error `error` of the port means for `devicePath`, for a message:
    // "permission denied on /dev/ttyUSB0; add yourself to the dialout group
    // and log in again".
    static QString explain(int error, const QString &devicePath);

    // The program holding a busy device, "minicom (process 1234)", from its
    // lock file or its entry in /proc/locks; empty when nobody can tell.
    static QString holderOf(const QString &devicePath);
};

#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Where one download goes: a serial port with its line settings, or a
// printer's address and port. Written "com1" ... "com128" or
// "tcp:HOST[:PORT]" on the command line.
struct Target {
    static constexpr quint16 kRawPort = 9100;

    qint16 mode = 0; // 0 serial, 1 TCP/IP
    qint16 comPort = 1;
    QString lineSettings = QStringLiteral("9600,N,8,1");
    qint16 handshaking = 1;
    QString host;
    quint16 port = kRawPort;

    bool isSerial() const { return mode == 0; }
    // As it is written: "com3", "tcp:10.0.0.5:9100", "tcp:[::1]:9100".
    QString name() const;

    // Nothing, with the reason in `error`, for text that names no target.
    static std::optional<Target> parse(const QString &text, QString *error);

    // Handshaking by name: none, xonxoff, rts, rts-xonxoff; -1 for another.
    static int flowCode(const QString &name);
    static QString flowName(int code);
};

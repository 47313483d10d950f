#pragma once

#include <QByteArray>
#include <QString>

// What the download engine needs of the two links. The window owns the real
// ones; tests put fakes in their place.
class SerialChannel {
public:
    virtual ~SerialChannel() = default;
    virtual void openPort() = 0;
    virtual void closePort() = 0;
    virtual void send(const QByteArray &text) = 0;
    // 0 count reached, -1 timed out, -2 port not open.
    virtual qint16 receive(QByteArray &reply, qint32 count, float &timeout) = 0;
    // Empties the receive buffer (nothing happens on a closed port).
    virtual void clearInput() = 0;
    // Waits, with the event loop running, until everything sent has left
    // (at most the reply time-out; a stop request ends it).
    virtual void drainOutput() = 0;
    // The serial control's current line-settings text.
    virtual QString portSettings() const = 0;
    // Handshaking, line settings, port number, in that order.
    virtual void applyPortSettings(int handshaking, const QString &settings, int portNumber) = 0;
};

class SocketChannel {
public:
    virtual ~SocketChannel() = default;
    virtual bool connectToPrinter() = 0;
    virtual void send(const QByteArray &text, float &timeout) = 0;
    // 0 received, -1 timed out, -2 not connected, -3 more than count.
    virtual qint16 receive(QByteArray &reply, qint32 count, float &timeout) = 0;
    virtual void closeConnection() = 0;
    virtual void setKeepAlive(bool on) = 0;
};

#pragma once

#include "LineEventMonitor.h"
#include "LineSettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>

// The serial port as the program uses it: a port number, a settings text,
// a handshaking code, open/close, the receive-buffer count, input and
// output, line events with their codes, and the port's error numbers.
class SerialPortControl : public QObject {
    Q_OBJECT
public:
    explicit SerialPortControl(QObject *parent = nullptr);
    ~SerialPortControl() override;

    // Setters keep the previous value and return false for a value the port
    // cannot take. While the port is open they apply at once.
    bool setCommPort(int portNumber);
    bool setSettings(const QString &text);
    bool setHandshaking(int code);
    void setRTSEnable(bool enable);

    int commPort() const { return m_portNumber; }
    QString settings() const { return m_settingsText; }
    int handshaking() const { return m_handshaking; }
    QString devicePath() const;

    // 0 when opened, otherwise the port's error number (8002, 8005,
    // 8012, 8013). Opening an open port reports 8005, as for any port in use.
    int open();
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    qint64 inBufferCount() const;
    // All bytes waiting, removed from the buffer.
    QByteArray input();
    // Blocks up to `ms` for bytes to arrive, without the event loop.
    void waitForInput(int ms);
    // Discards everything waiting, as setting the count to 0 does, and
    // returns what it discarded.
    QByteArray discardInput();
    // Hands the bytes to the driver as far as it takes them and queues the
    // rest; returns at once.
    void output(const QByteArray &bytes);
    // Bytes queued and not yet handed to the driver.
    qint64 bytesToWrite() const;

    static QString errorDescription(int errorNumber);

    // Lets tests feed line events from a fake driver.
    LineEventMonitor &lineMonitor() { return m_monitor; }

Q_SIGNALS:
    // 1001 break, 1004 framing, 1006 overrun, 1008 overflow, 1009 parity.
    void commEvent(int code);
    // The device went away while open; the port has been closed.
    void portLost();
    // New bytes are waiting.
    void dataReceived();

private:
    void applyLineSettings();
    void onPortError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    LineEventMonitor m_monitor;
    int m_portNumber = 1;
    QString m_settingsText = QStringLiteral("9600,N,8,1");
    LineSettings m_line;
    int m_handshaking = 0;
    bool m_rtsEnable = false;
    int m_lockHandle = -1;
};

#pragma once

#include "Channels.h"

#include <QByteArray>
#include <QObject>

class EngineView;
class SerialPortControl;
class StoredValues;
class TrafficRecorder;
struct SharedState;

// The serial link: configures and opens the port from the shared settings,
// writes text, waits for reply bytes with a timeout, and turns line events
// into status texts and flags.
class SerialLink : public QObject, public SerialChannel {
    Q_OBJECT
public:
    enum Result : qint16 { Received = 0, TimedOut = -1, NotOpen = -2 };

    SerialLink(SharedState &state, SerialPortControl &port, EngineView &view,
               QObject *parent = nullptr);

    void loadPortSettings(StoredValues &stored);
    void configurePort();
    void openPort() override;
    void closePort() override;
    // Drops whatever came in before, then returns once the bytes are
    // queued; only a full output queue (a printer holding XOFF) makes it
    // wait, so memory stays bounded.
    void send(const QByteArray &text) override;
    // Bytes that came since the last send count. A negative timeout is
    // raised to 0 in the caller's variable.
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override;
    void onLineEvent(int code);

    void clearInput() override;
    void drainOutput() override;
    QString portSettings() const override;
    void applyPortSettings(int handshaking, const QString &settings, int portNumber) override;

    SerialPortControl &port() { return m_port; }

    // Every transmission also goes into the recorder; nullptr traces nothing.
    void setTrafficRecorder(TrafficRecorder *recorder);

private:
    void reportNotOpen();
    // Throws away what is waiting; traced, as it may be a late reply.
    void discardInput();
    quint8 traceLink();

    SharedState &m_state;
    SerialPortControl &m_port;
    EngineView &m_view;
    TrafficRecorder *m_trace = nullptr;
    // The port number the trace's link name was made for.
    int m_tracedPort = -1;
    quint8 m_traceLink = 0;
};

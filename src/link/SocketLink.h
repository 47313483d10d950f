#pragma once

#include "Channels.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class EngineView;
class QTimer;
class SocketControl;
class TrafficRecorder;
struct SharedState;

// The TCP/IP link: connects to the printer's address and port, writes text
// and waits until it has gone, waits for reply bytes with a timeout, turns
// socket errors into status texts and flags, and keeps an idle connection
// alive with a blank every second.
class SocketLink : public QObject, public SocketChannel {
    Q_OBJECT
public:
    enum Result : qint16 { Received = 0, TimedOut = -1, NotConnected = -2, TooLong = -3 };

    static constexpr int kKeepAliveIntervalMs = 1000;

    SocketLink(SharedState &state, EngineView &view, SocketControl &control,
               QObject *parent = nullptr);

    // Waits up to 10 seconds for the connection.
    bool connectToPrinter() override;
    // Sends the bytes unchanged and waits until they have gone or the
    // timeout has passed; does nothing when not connected.
    void send(const QByteArray &text, float &timeout) override;
    // Bytes that came before the call count towards `count`.
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override;
    void closeConnection() override;
    void setKeepAlive(bool on) override;

    bool isConnected() const { return m_connected; }

    // Every transmission also goes into the recorder; nullptr traces nothing.
    void setTrafficRecorder(TrafficRecorder *recorder);

private:
    void transmit(const QByteArray &text, float timeout, bool keepAlive = false);
    quint8 traceLink();
    void onPeerClosed();
    void onError(int number, const QString &description);
    void fail(const QString &text);
    void keepAliveFired();

    SharedState &m_state;
    EngineView &m_view;
    SocketControl &m_control;
    QTimer *m_keepAliveTimer;
    bool m_connected = false;
    bool m_sendComplete = false;
    // Sends and receives of the engine under way; a close by the printer
    // during one of them fails the download.
    int m_engineWaits = 0;
    bool m_keepAliveBusy = false;
    TrafficRecorder *m_trace = nullptr;
    // The trace's name for the connection, made when it is first used.
    bool m_traceLinkKnown = false;
    quint8 m_traceLink = 0;
};

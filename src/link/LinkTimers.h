#pragma once

#include <QObject>
#include <QTimer>

class EngineView;
class SerialLink;
struct SharedState;

// The two timers of the links: tmrSend resets the K72e keypad once after a
// pass-through download; tmrKeepAlive keeps a socket connection alive.
class LinkTimers : public QObject {
    Q_OBJECT
public:
    static constexpr int kSendDesignIntervalMs = 15000;
    static constexpr int kSendSerialIntervalMs = 7500;
    static constexpr int kSendSocketIntervalMs = 8500;
    static constexpr int kKeepAliveIntervalMs = 1000;

    LinkTimers(SharedState &state, SerialLink &serial, EngineView &view, QObject *parent = nullptr);

    QTimer &tmrSend() { return m_tmrSend; }
    QTimer &tmrKeepAlive() { return m_tmrKeepAlive; }

    // Starts the reset delay for the current link mode.
    void startResetDelay();

    void tmrSend_Timer();
    void tmrKeepAlive_Timer();

private:
    SharedState &m_state;
    SerialLink &m_serial;
    EngineView &m_view;
    QTimer m_tmrSend;
    QTimer m_tmrKeepAlive;
};

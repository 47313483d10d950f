#pragma once

#include <QObject>
#include <QTimer>

class EngineView;
class SerialLink;
struct SharedState;

// The two timers of the links: resetTimer resets the K72e keypad once after a
// pass-through download; keepAliveTimer keeps a socket connection alive.
class LinkTimers : public QObject {
    Q_OBJECT
public:
    static constexpr int kResetDesignIntervalMs = 15000;
    static constexpr int kResetSerialIntervalMs = 7500;
    static constexpr int kResetSocketIntervalMs = 8500;
    static constexpr int kKeepAliveIntervalMs = 1000;

    LinkTimers(SharedState &state, SerialLink &serial, EngineView &view, QObject *parent = nullptr);

    QTimer &resetTimer() { return m_resetTimer; }
    QTimer &keepAliveTimer() { return m_keepAliveTimer; }

    // Starts the reset delay for the current link mode.
    void startResetDelay();

    void resetTimerFired();
    void keepAliveFired();

private:
    SharedState &m_state;
    SerialLink &m_serial;
    EngineView &m_view;
    QTimer m_resetTimer;
    QTimer m_keepAliveTimer;
};

#pragma once

#include <QObject>
#include <QTimer>

class EngineView;
class SerialChannel;
class SocketChannel;
struct SharedState;

// The reset timer of the links: resets the K72e keypad once after a
// pass-through download, over the link in use. (The socket link keeps its
// own keep-alive timer.)
class LinkTimers : public QObject {
    Q_OBJECT
public:
    static constexpr int kResetDesignIntervalMs = 15000;
    static constexpr int kResetSerialIntervalMs = 7500;
    static constexpr int kResetSocketIntervalMs = 8500;

    LinkTimers(SharedState &state, SerialChannel &serial, SocketChannel &socket, EngineView &view,
               QObject *parent = nullptr);

    QTimer &resetTimer() { return m_resetTimer; }

    // Starts the reset delay for the current link mode.
    void startResetDelay();

    void resetTimerFired();

private:
    SharedState &m_state;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
    EngineView &m_view;
    QTimer m_resetTimer;
};

#include "LinkTimers.h"

#include "Channels.h"
#include "Clock.h"
#include "EngineView.h"
#include "Pause.h"
#include "PrinterModels.h"
#include "SharedState.h"
#include "Wait.h"

LinkTimers::LinkTimers(SharedState &state, SerialChannel &serial, SocketChannel &socket,
                       EngineView &view, QObject *parent)
    : QObject(parent), m_state(state), m_serial(serial), m_socket(socket), m_view(view) {
    m_resetTimer.setSingleShot(true);
    m_resetTimer.setInterval(kResetDesignIntervalMs);
    connect(&m_resetTimer, &QTimer::timeout, this, &LinkTimers::resetTimerFired);
}

void LinkTimers::startResetDelay() {
    const int ms = m_state.mode == 1 ? kResetSocketIntervalMs : kResetSerialIntervalMs;
    m_resetTimer.start(int(Clock::realMilliseconds(ms / 1000.0)));
}

void LinkTimers::resetTimerFired() {
    // Stopped from the moment the tick starts, so it cannot run twice.
    m_resetTimer.stop();
    const bool linkKnown = m_state.mode == 0 || m_state.mode == 1;
    if (!linkKnown || !PrinterModels::passesThrough(m_state.printer))
        return;

    if (!m_view.isPassThruChecked()) {
        m_view.setDownloadCommandsEnabled(true);
        return;
    }
    // Stopped during the delay (the connection failed): no reset, but the
    // Download commands held for it come back.
    if (m_state.abortRequested) {
        m_view.setDownloadCommandsEnabled(true);
        return;
    }

    m_view.setDownloadCommandsEnabled(false);
    Wait::yieldOnce();
    // The keypad is reset after a failed download too, but the download
    // ends with its failure; a reset that cannot go out changes neither.
    const QString failure = m_state.transferFailure;
    m_view.setStatus(QStringLiteral("Resetting Printer ..."));
    if (m_state.mode == 0) {
        m_serial.send(QByteArrayLiteral("^PR"));
    } else if (m_state.mode == 1) {
        float sendTimeout = 10.0f;
        m_socket.send(QByteArrayLiteral("^PR"), sendTimeout);
    }
    float seconds = 15.0f;
    pauseFor(m_state, seconds);
    m_view.setStatus(failure.isEmpty() ? QStringLiteral("Download Complete") : failure);
    m_view.setDownloadCommandsEnabled(true);
}

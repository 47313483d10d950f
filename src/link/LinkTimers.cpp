#include "LinkTimers.h"

#include "Clock.h"
#include "EngineView.h"
#include "Pause.h"
#include "PrinterModels.h"
#include "SerialLink.h"
#include "SharedState.h"
#include "Wait.h"

LinkTimers::LinkTimers(SharedState &state, SerialLink &serial, EngineView &view, QObject *parent)
    : QObject(parent), m_state(state), m_serial(serial), m_view(view) {
    m_resetTimer.setSingleShot(true);
    m_resetTimer.setInterval(kResetDesignIntervalMs);
    connect(&m_resetTimer, &QTimer::timeout, this, &LinkTimers::resetTimerFired);

    m_keepAliveTimer.setInterval(kKeepAliveIntervalMs);
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &LinkTimers::keepAliveFired);
    m_keepAliveTimer.start();
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
    if (m_state.abortRequested)
        return;

    m_view.setDownloadCommandsEnabled(false);
    Wait::yieldOnce();
    m_view.setStatus(QStringLiteral("Resetting Printer ..."));
    if (m_state.mode == 0)
        m_serial.send(QByteArrayLiteral("^PR"));
    // The socket link sends the reset over TCP/IP once it exists.
    float seconds = 15.0f;
    pauseFor(m_state, seconds);
    m_view.setStatus(QStringLiteral("Download Complete"));
    m_view.setDownloadCommandsEnabled(true);
}

void LinkTimers::keepAliveFired() {
    // Nothing to keep alive until a socket connection exists.
}

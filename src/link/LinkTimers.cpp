#include "LinkTimers.h"

#include "Clock.h"
#include "EngineView.h"
#include "Pause.h"
#include "SerialLink.h"
#include "SharedState.h"
#include "Wait.h"

LinkTimers::LinkTimers(SharedState &state, SerialLink &serial, EngineView &view, QObject *parent)
    : QObject(parent), m_state(state), m_serial(serial), m_view(view) {
    m_tmrSend.setSingleShot(true);
    m_tmrSend.setInterval(kSendDesignIntervalMs);
    connect(&m_tmrSend, &QTimer::timeout, this, &LinkTimers::tmrSend_Timer);

    m_tmrKeepAlive.setInterval(kKeepAliveIntervalMs);
    connect(&m_tmrKeepAlive, &QTimer::timeout, this, &LinkTimers::tmrKeepAlive_Timer);
    m_tmrKeepAlive.start();
}

void LinkTimers::startResetDelay() {
    const int ms = m_state.mintMode == 1 ? kSendSocketIntervalMs : kSendSerialIntervalMs;
    m_tmrSend.start(int(Clock::realMilliseconds(ms / 1000.0)));
}

void LinkTimers::tmrSend_Timer() {
    // Stopped from the moment the tick starts, so it cannot run twice.
    m_tmrSend.stop();
    const bool linkKnown = m_state.mintMode == 0 || m_state.mintMode == 1;
    if (!linkKnown || m_state.mintPrinter != Printers::K72e)
        return;

    if (!m_view.isPassThruChecked()) {
        m_state.mblnDownloadDone = true;
        m_view.setDownloadCommandsEnabled(true);
        return;
    }
    if (m_state.mblnAbort)
        return;

    m_view.setDownloadCommandsEnabled(false);
    Wait::yieldOnce();
    m_view.setStatus(QStringLiteral("Resetting Printer ..."));
    if (m_state.mintMode == 0)
        m_serial.CommSend(QByteArrayLiteral("^PR"));
    // The socket link sends the reset over TCP/IP once it exists.
    float seconds = 15.0f;
    Pause(m_state, seconds);
    m_view.setStatus(QStringLiteral("Download Complete"));
    m_state.mblnDownloadDone = true;
    m_view.setDownloadCommandsEnabled(true);
}

void LinkTimers::tmrKeepAlive_Timer() {
    // Nothing to keep alive until a socket connection exists.
}

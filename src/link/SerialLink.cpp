#include "SerialLink.h"

#include "Clock.h"
#include "EngineView.h"
#include "PrinterModels.h"
#include "SerialDeviceMap.h"
#include "SerialNative.h"
#include "SerialPortControl.h"
#include "SharedState.h"
#include "StoredValues.h"
#include "TrafficRecorder.h"
#include "Wait.h"

#include <limits>

namespace {
// Output queued beyond this waits for the line to drain to the low mark.
constexpr qint64 kOutputHighWater = 256 * 1024;
constexpr qint64 kOutputLowWater = 64 * 1024;
} // namespace

SerialLink::SerialLink(SharedState &state, SerialPortControl &port, EngineView &view,
                       QObject *parent)
    : QObject(parent), m_state(state), m_port(port), m_view(view) {
    connect(&m_port, &SerialPortControl::commEvent, this, &SerialLink::onLineEvent);
}

void SerialLink::loadPortSettings(StoredValues &stored) {
    m_state.comPort =
        qint16(stored.number(QStringLiteral("Comport"), 1, 1, SerialDeviceMap::kHighestPort));
    m_state.lineSettings =
        stored.lineSettings(QStringLiteral("Settings"), QStringLiteral("9600,N,8,1"));
    m_state.handshaking = qint16(stored.number(QStringLiteral("Handshaking"), 1, 0, 3));
    m_state.replyTimeout = stored.seconds(QStringLiteral("Timeout"), 25.0f);
}

void SerialLink::configurePort() {
    closePort();
    // A value the port cannot take is skipped; the port keeps its own.
    m_port.setHandshaking(m_state.handshaking);
    m_port.setSettings(m_state.lineSettings);
    m_port.setCommPort(m_state.comPort);
    openPort();
}

void SerialLink::openPort() {
    closePort();
    if (m_port.open() == SerialNative::PortAlreadyOpen) {
        m_view.setStatus(QStringLiteral("Comm Port ") + QString::number(m_state.comPort) +
                         QStringLiteral(" in use by another application"));
    }
}

void SerialLink::closePort() {
    if (m_port.isOpen())
        m_port.close();
}

void SerialLink::reportNotOpen() {
    m_view.setStatus(QStringLiteral(" Comm port not open"));
    m_state.downloadError = true;
}

void SerialLink::send(const QByteArray &text) {
    if (!m_port.isOpen()) {
        reportNotOpen();
        return;
    }
    // Stray bytes go before the packet does: a reply that comes before its
    // wait starts (the wait below lets the event loop run) must count.
    discardInput();
    m_port.output(text);
    if (m_trace)
        m_trace->recordSent(traceLink(), text);
    if (m_port.bytesToWrite() > kOutputHighWater) {
        Wait::until(
            [&] {
                return !m_port.isOpen() || m_state.abortRequested ||
                       m_port.bytesToWrite() < kOutputLowWater;
            },
            std::numeric_limits<double>::infinity(), m_state.exitRequested);
    }
}

void SerialLink::drainOutput() {
    Wait::until(
        [&] { return !m_port.isOpen() || m_state.abortRequested || m_port.bytesToWrite() == 0; },
        Clock::now() + double(m_state.replyTimeout), m_state.exitRequested);
}

void SerialLink::clearInput() {
    discardInput();
}

void SerialLink::discardInput() {
    const QByteArray stray = m_port.discardInput();
    if (m_trace && !stray.isEmpty())
        m_trace->recordStray(traceLink(), stray);
}

void SerialLink::setTrafficRecorder(TrafficRecorder *recorder) {
    m_trace = recorder;
    m_tracedPort = -1;
}

quint8 SerialLink::traceLink() {
    // The dialogs may renumber the port between two downloads.
    if (m_port.commPort() != m_tracedPort) {
        m_tracedPort = m_port.commPort();
        m_traceLink = m_trace->linkId(QStringLiteral("Com") + QString::number(m_tracedPort));
    }
    return m_traceLink;
}

QString SerialLink::portSettings() const {
    return m_port.settings();
}

void SerialLink::applyPortSettings(int handshaking, const QString &settings, int portNumber) {
    m_port.setHandshaking(handshaking);
    m_port.setSettings(settings);
    m_port.setCommPort(portNumber);
}

qint16 SerialLink::receive(QByteArray &reply, qint32 count, float &timeout) {
    if (timeout < 0)
        timeout = 0;
    const double deadline = Clock::now() + double(timeout);
    if (!m_port.isOpen()) {
        reportNotOpen();
        return NotOpen;
    }
    // No yield first: the wait runs the event loop whenever it has to wait.
    if (m_port.inBufferCount() < count)
        m_port.waitForInput(Wait::linkOnlyMs(deadline));
    const Wait::Result result =
        Wait::until([&] { return !m_port.isOpen() || m_port.inBufferCount() >= count; }, deadline,
                    m_state.exitRequested);
    // The device went away under the wait: as for a port that is not open.
    if (!m_port.isOpen()) {
        reportNotOpen();
        return NotOpen;
    }
    reply = m_port.input();
    const Result code = result == Wait::Result::TimedOut ? TimedOut : Received;
    if (m_trace)
        m_trace->recordReply(traceLink(), reply, code);
    m_view.setStatus(QStringLiteral("Status - -99"));
    return code;
}

void SerialLink::onLineEvent(int code) {
    switch (code) {
    case 1001: { // break
        const PrinterModel *model = PrinterModels::find(m_state.printer);
        if (!m_state.abortRequested && model && model->breakStops) {
            m_view.setStatus(QStringLiteral("Check Printer..."));
            m_view.setProgressValue(0);
            m_view.setProgressVisible(false);
            m_state.abortRequested = true;
            m_state.breakSeen = true;
        }
        break;
    }
    case 1004:
        m_view.setStatus(QStringLiteral("Framing error "));
        m_state.downloadError = true;
        break;
    case 1006:
        m_view.setStatus(QStringLiteral("Data Lost "));
        break;
    case 1008:
        m_view.setStatus(QStringLiteral("Receive buffer overflow "));
        break;
    case 1009:
        m_view.setStatus(QStringLiteral("Parity error "));
        break;
    default:
        break;
    }
}

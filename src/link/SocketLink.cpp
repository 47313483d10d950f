#include "SocketLink.h"

#include "Clock.h"
#include "EngineView.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "TrafficRecorder.h"
#include "Wait.h"

#include <QTimer>

namespace {
// Seconds the connection gets to come up, and to go down.
constexpr double kConnectSeconds = 10.0;
constexpr double kCloseSeconds = 10.0;
// How long a keep-alive blank may take to go out.
constexpr float kKeepAliveSendSeconds = 10.0f;

// Counts the engine's waits in progress for the time of one call.
class EngineWait {
public:
    explicit EngineWait(int &count) : m_count(count) { ++m_count; }
    ~EngineWait() { --m_count; }
    EngineWait(const EngineWait &) = delete;
    EngineWait &operator=(const EngineWait &) = delete;

private:
    int &m_count;
};
} // namespace

SocketLink::SocketLink(SharedState &state, EngineView &view, SocketControl &control,
                       QObject *parent)
    : QObject(parent), m_state(state), m_view(view), m_control(control),
      m_keepAliveTimer(new QTimer(this)) {
    connect(&m_control, &SocketControl::connected, this, [this] { m_connected = true; });
    connect(&m_control, &SocketControl::sendComplete, this, [this] { m_sendComplete = true; });
    connect(&m_control, &SocketControl::peerClosed, this, &SocketLink::onPeerClosed);
    connect(&m_control, &SocketControl::errorOccurred, this, &SocketLink::onError);

    m_keepAliveTimer->setObjectName(QStringLiteral("keepAliveTimer"));
    m_keepAliveTimer->setInterval(kKeepAliveIntervalMs);
    connect(m_keepAliveTimer, &QTimer::timeout, this, &SocketLink::keepAliveFired);
    m_keepAliveTimer->start();
}

bool SocketLink::connectToPrinter() {
    if (m_control.state() != SocketControl::Closed)
        m_control.close();
    m_connected = false;
    m_traceLinkKnown = false;
    const double deadline = Clock::now() + kConnectSeconds;
    // A port number no socket can have is refused like a closed one.
    const qint32 port = m_state.ipPort;
    m_control.connectTo(m_state.ipAddress, port > 0 && port <= 0xFFFF ? quint16(port) : 0);
    Wait::until([this] { return m_connected; }, deadline, m_state.exitRequested);
    return m_connected;
}

void SocketLink::send(const QByteArray &text, float &timeout) {
    const EngineWait wait(m_engineWaits);
    transmit(text, timeout);
}

void SocketLink::setTrafficRecorder(TrafficRecorder *recorder) {
    m_trace = recorder;
    m_traceLinkKnown = false;
}

quint8 SocketLink::traceLink() {
    if (!m_traceLinkKnown) {
        const QString host = m_state.ipAddress.contains(QLatin1Char(':'))
                                 ? QLatin1Char('[') + m_state.ipAddress + QLatin1Char(']')
                                 : m_state.ipAddress;
        m_traceLink = m_trace->linkId(host + QLatin1Char(':') + QString::number(m_state.ipPort));
        m_traceLinkKnown = true;
    }
    return m_traceLink;
}

void SocketLink::transmit(const QByteArray &text, float timeout, bool keepAlive) {
    if (m_control.state() != SocketControl::Connected)
        return;
    const double deadline = Clock::now() + double(timeout);
    m_sendComplete = false;
    m_control.sendData(text);
    if (m_trace) {
        if (keepAlive)
            m_trace->recordKeepAlive(traceLink(), text);
        else
            m_trace->recordSent(traceLink(), text);
    }
    // Bytes of a connection that has gone will never leave: no use waiting.
    Wait::until([this] { return m_sendComplete || m_control.state() != SocketControl::Connected; },
                deadline, m_state.exitRequested);
}

qint16 SocketLink::receive(QByteArray &reply, qint32 count, float &timeout) {
    const double deadline = Clock::now() + double(timeout);
    if (m_control.state() != SocketControl::Connected) {
        reply.clear();
        return NotConnected;
    }
    const EngineWait wait(m_engineWaits);
    // No yield first: the wait runs the event loop whenever it has to wait.
    if (m_control.bytesReceived() < count)
        m_control.waitForData(Wait::linkOnlyMs(deadline));
    // A close by the printer ends the wait: no reply can follow it.
    const Wait::Result result = Wait::until(
        [&] {
            return m_control.bytesReceived() >= count ||
                   m_control.state() != SocketControl::Connected;
        },
        deadline, m_state.exitRequested);
    reply = m_control.takeData();
    Result code = reply.size() > count ? TooLong : Received;
    if (reply.size() < count && m_control.state() != SocketControl::Connected)
        code = NotConnected;
    else if (result == Wait::Result::TimedOut)
        code = TimedOut;
    if (m_trace)
        m_trace->recordReply(traceLink(), reply, code);
    return code;
}

void SocketLink::closeConnection() {
    if (m_control.state() != SocketControl::Closed)
        m_control.close();
    const Wait::Result result =
        Wait::until([this] { return m_control.state() == SocketControl::Closed; },
                    Clock::now() + kCloseSeconds, m_state.exitRequested);
    if (result == Wait::Result::ConditionMet) {
        m_connected = false;
        m_state.abortRequested = false;
    } else {
        m_connected = true;
    }
}

void SocketLink::setKeepAlive(bool on) {
    if (on)
        m_keepAliveTimer->start();
    else
        m_keepAliveTimer->stop();
}

void SocketLink::onPeerClosed() {
    m_control.close();
    Wait::until([this] { return m_control.state() == SocketControl::Closed; },
                Clock::now() + kCloseSeconds, m_state.exitRequested);
    m_connected = false;
    // Mid-download the rest cannot reach the printer; when idle the
    // connection is simply gone until the next download connects again.
    if (m_engineWaits > 0) {
        m_state.downloadError = true;
        fail(QStringLiteral("Socket Error 10053 Connection closed by the printer"));
    }
}

void SocketLink::onError(int number, const QString &description) {
    if (number <= 0)
        return;
    m_state.abortRequested = true;
    fail(QStringLiteral("Socket Error ") + QString::number(number) + QLatin1Char(' ') +
         description);
}

void SocketLink::fail(const QString &text) {
    m_view.setStatus(text);
    // The stages after this one may write over the status line, and the
    // sequences clear the stop request: the download ends with this text.
    if (m_state.transferFailure.isEmpty())
        m_state.transferFailure = text;
}

void SocketLink::keepAliveFired() {
    // A blank that is still going out (the wait lets the timer fire again)
    // is enough for both ticks.
    if (m_keepAliveBusy || m_control.state() != SocketControl::Connected)
        return;
    m_keepAliveBusy = true;
    // Not an engine wait: a close by the printer between downloads is quiet.
    transmit(QByteArrayLiteral(" "), kKeepAliveSendSeconds, true);
    m_keepAliveBusy = false;
}

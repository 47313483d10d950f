#include "Discovery.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {
constexpr qsizetype kReplyLength = 14;

// One address: connect, ask, take the reply; each step within the time-out.
class Probe : public QObject {
public:
    using Done = std::function<void(const Discovery::Found &, bool connected)>;

    Probe(const QHostAddress &address, quint16 port, int timeoutMs, Done done, QObject *parent)
        : QObject(parent), m_timeoutMs(timeoutMs), m_done(std::move(done)) {
        m_found.address = address;
        m_found.port = port;
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, &Probe::finish);
        connect(&m_socket, &QTcpSocket::connected, this, &Probe::ask);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
            if (m_socket.bytesAvailable() >= kReplyLength)
                finish();
        });
        connect(&m_socket, &QTcpSocket::errorOccurred, this, &Probe::finish);
        m_clock.start();
        m_deadline.start(m_timeoutMs);
        m_socket.connectToHost(address, port);
    }

private:
    void ask() {
        m_connected = true;
        m_deadline.start(m_timeoutMs);
        m_socket.write("{SR}");
    }
    void finish() {
        if (m_finished)
            return;
        m_finished = true;
        m_deadline.stop();
        m_found.reply = m_socket.read(kReplyLength);
        m_found.milliseconds = m_clock.elapsed();
        m_socket.abort();
        m_done(m_found, m_connected);
        deleteLater();
    }

    QTcpSocket m_socket;
    QTimer m_deadline;
    QElapsedTimer m_clock;
    int m_timeoutMs;
    Done m_done;
    Discovery::Found m_found;
    bool m_connected = false;
    bool m_finished = false;
};
} // namespace

Discovery::Discovery(const QList<QHostAddress> &addresses, quint16 port, int parallel,
                     int timeoutMs, QObject *parent)
    : QObject(parent), m_addresses(addresses), m_port(port), m_parallel(parallel),
      m_timeoutMs(timeoutMs) {}

QList<Discovery::Found> Discovery::run() {
    QEventLoop loop;
    m_loop = &loop;
    while (m_running < m_parallel && m_next < m_addresses.size())
        startNext();
    if (m_running > 0)
        loop.exec();
    m_loop = nullptr;
    std::sort(m_found.begin(), m_found.end(), [](const Found &a, const Found &b) {
        return a.address.toIPv4Address() < b.address.toIPv4Address();
    });
    return m_found;
}

void Discovery::startNext() {
    ++m_running;
    new Probe(
        m_addresses[m_next++], m_port, m_timeoutMs,
        [this](const Found &found, bool connected) { finished(found, connected); }, this);
}

void Discovery::finished(const Found &found, bool connected) {
    if (connected)
        m_found << found;
    --m_running;
    if (m_next < m_addresses.size())
        startNext();
    else if (m_running == 0 && m_loop)
        m_loop->quit();
}

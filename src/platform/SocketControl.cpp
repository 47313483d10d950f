#include "SocketControl.h"

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/socket.h>
#endif

SocketControl::SocketControl(QObject *parent) : QObject(parent) {
    connect(&m_socket, &QTcpSocket::connected, this, &SocketControl::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &SocketControl::onReadyRead);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &SocketControl::onBytesWritten);
    connect(&m_socket, &QTcpSocket::disconnected, this, &SocketControl::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &SocketControl::onError);
}

SocketControl::~SocketControl() {
    // Dropping a live connection makes Qt announce it; nobody may hear that
    // from a half-destroyed control.
    QObject::disconnect(&m_socket, nullptr, this, nullptr);
    m_socket.abort();
}

int SocketControl::state() const {
    switch (m_socket.state()) {
    case QAbstractSocket::UnconnectedState:
        return Closed;
    case QAbstractSocket::HostLookupState:
        return HostLookup;
    case QAbstractSocket::ConnectingState:
        return Connecting;
    case QAbstractSocket::ConnectedState:
        return Connected;
    case QAbstractSocket::BoundState:
        return Bound;
    case QAbstractSocket::ListeningState:
        return Listening;
    case QAbstractSocket::ClosingState:
        return Closing;
    }
    return Closed;
}

QByteArray SocketControl::takeData() {
    // Bytes Qt has read but not yet announced belong to this reply too.
    if (m_socket.bytesAvailable() > 0)
        m_received += m_socket.readAll();
    return std::exchange(m_received, QByteArray());
}

void SocketControl::waitForData(int ms) {
    if (ms <= 0 || m_socket.state() != QAbstractSocket::ConnectedState)
        return;
#ifdef Q_OS_UNIX
    // With nothing left in Qt's buffer, the next bytes may come straight
    // from the network: one poll and one read a reply, instead of Qt's wait,
    // its size query and its announcement round.
    if (m_socket.bytesAvailable() == 0) {
        pollfd polled{int(m_socket.socketDescriptor()), POLLIN, 0};
        if (::poll(&polled, 1, ms) > 0 && (polled.revents & POLLIN) != 0) {
            char buffer[4096];
            const ssize_t n = ::recv(polled.fd, buffer, sizeof buffer, MSG_DONTWAIT);
            // A close (0) or an error stays for Qt to find and announce.
            if (n > 0) {
                m_received.append(buffer, qsizetype(n));
                Q_EMIT dataArrived(m_received.size());
            }
        }
        return;
    }
#endif
    m_briefWait = true;
    m_socket.waitForReadyRead(ms);
    m_briefWait = false;
}

void SocketControl::sendData(const QByteArray &bytes) {
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return;
    // Straight to the network when nothing waits before them: no event-loop
    // round and no write notifier switched on and off for every packet.
    // What the kernel does not take now is queued and goes out from the loop.
    qint64 done = 0;
#ifdef Q_OS_UNIX
    if (m_socket.bytesToWrite() == 0)
        done = std::max<qint64>(0, ::send(int(m_socket.socketDescriptor()), bytes.constData(),
                                          size_t(bytes.size()), MSG_NOSIGNAL));
#endif
    if (done < bytes.size())
        m_socket.write(bytes.constData() + done, bytes.size() - done);
    else
        Q_EMIT sendComplete();
}

void SocketControl::connectTo(const QString &host, quint16 port) {
    close();
    m_received.clear();
    m_socket.connectToHost(host, port);
}

void SocketControl::close() {
    m_open = false;
    m_socket.abort();
}

int SocketControl::errorNumber(QAbstractSocket::SocketError error, bool wasConnected) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::RemoteHostClosedError:
        return 10053;
    // Qt has one code for "unreachable" and for a connection that broke
    // under way; which one it was shows in whether we were connected.
    case QAbstractSocket::NetworkError:
        return wasConnected ? 10054 : 10065;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    default:
        // The base of the range: a socket error with no closer number.
        return 10000;
    }
}

void SocketControl::onConnected() {
    m_open = true;
    // Packets are short lines each awaiting a reply; holding them back to
    // coalesce would only delay the printer.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    Q_EMIT connected();
}

void SocketControl::onReadyRead() {
    m_received += m_socket.readAll();
    Q_EMIT dataArrived(m_received.size());
}

void SocketControl::onBytesWritten() {
    if (m_socket.bytesToWrite() == 0)
        Q_EMIT sendComplete();
}

void SocketControl::onDisconnected() {
    reportPeerClosed();
}

void SocketControl::onError(QAbstractSocket::SocketError error) {
    // A brief wait that ran out is no fault of the connection.
    if (error == QAbstractSocket::SocketTimeoutError && m_briefWait)
        return;
    // Qt reports a close or a reset by the printer as RemoteHostClosedError;
    // either way the connection is over, which is the link's to judge.
    // Qt announces disconnected right after; this only covers a path that
    // would not, and runs from the event loop so that the link may close
    // the socket without pulling it from under Qt's own handling.
    if (error == QAbstractSocket::RemoteHostClosedError) {
        QMetaObject::invokeMethod(this, &SocketControl::reportPeerClosed, Qt::QueuedConnection);
        return;
    }
    Q_EMIT errorOccurred(errorNumber(error, m_open), m_socket.errorString());
}

void SocketControl::reportPeerClosed() {
    // Qt may announce one close twice (the error, then disconnected); a
    // close of our own is not announced at all.
    if (!m_open)
        return;
    m_open = false;
    // The last bytes before the close are part of the reply.
    if (m_socket.bytesAvailable() > 0)
        m_received += m_socket.readAll();
    Q_EMIT peerClosed();
}

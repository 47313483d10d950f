#include "TcpEndpoint.h"

#include "PrinterSession.h"
#include "Transcript.h"

#include <QTcpSocket>

namespace zelsim {

TcpEndpoint::TcpEndpoint(const FaultPlan &faults, QObject *parent)
    : QObject(parent), m_faults(faults) {
    connect(&m_server, &QTcpServer::newConnection, this, &TcpEndpoint::serveNext);
}

TcpEndpoint::~TcpEndpoint() {
    close();
}

bool TcpEndpoint::listen(const QHostAddress &address, quint16 port, QString *error) {
    if (!m_server.listen(address, port)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2: %3")
                         .arg(address.toString())
                         .arg(port)
                         .arg(m_server.errorString());
        return false;
    }
    m_address = m_server.serverAddress();
    m_port = m_server.serverPort();
    // Refusing means not listening at all, so the client gets a real refusal.
    if (m_faults.refusesConnection(1))
        m_server.close();
    return true;
}

void TcpEndpoint::close() {
    m_server.close();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    if (m_session) {
        m_session->finish();
        m_session->deleteLater();
        m_session = nullptr;
    }
}

void TcpEndpoint::serveNext() {
    if (m_socket)
        return;
    QTcpSocket *socket = m_server.nextPendingConnection();
    if (!socket)
        return;
    ++m_connections;
    if (m_faults.refusesConnection(m_connections + 1)) {
        m_server.close();
        if (m_transcript)
            m_transcript->note(QStringLiteral("tcp"),
                               QStringLiteral("!! refuse: no longer listening"));
    }
    m_socket = socket;
    // Replies are tiny and awaited one by one: send each at once.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_session = new PrinterSession(QStringLiteral("tcp#%1").arg(m_connections), Transport::Tcp,
                                   m_faults, this);
    m_session->setCapture(m_capture);
    m_session->setTranscript(m_transcript);
    m_session->bind(socket);
    connect(m_session, &PrinterSession::endRequested, socket, &QTcpSocket::disconnectFromHost);
    connect(socket, &QTcpSocket::disconnected, this, &TcpEndpoint::endSession);
    if (m_transcript)
        m_transcript->note(m_session->name(), QStringLiteral("connected from %1:%2")
                                                  .arg(socket->peerAddress().toString())
                                                  .arg(socket->peerPort()));
    Q_EMIT sessionStarted(m_session);
    // Bytes may have arrived, or the client may even have gone, while it waited.
    if (socket->bytesAvailable() > 0)
        m_session->receive(socket->readAll());
    if (socket->state() != QAbstractSocket::ConnectedState)
        endSession();
}

void TcpEndpoint::endSession() {
    if (!m_socket)
        return;
    m_session->receive(m_socket->readAll());
    m_session->finish();
    if (m_transcript)
        m_transcript->note(m_session->name(), QStringLiteral("disconnected"));
    m_socket->disconnect(this);
    m_socket->deleteLater();
    m_socket = nullptr;
    m_session->deleteLater();
    m_session = nullptr;
    Q_EMIT sessionEnded();
    serveNext();
}

} // namespace zelsim

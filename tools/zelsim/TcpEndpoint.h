#pragma once

#include "FaultPlan.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>

class QIODevice;
class QTcpSocket;

namespace zelsim {

class PrinterSession;
class Transcript;

// The network side of the printer, a raw print port. Like the real device it
// serves one client at a time; later clients wait in the listen queue until
// the current one has gone.
class TcpEndpoint : public QObject {
    Q_OBJECT
public:
    explicit TcpEndpoint(const FaultPlan &faults, QObject *parent = nullptr);
    ~TcpEndpoint() override;

    void setCapture(QIODevice *capture) { m_capture = capture; }
    void setTranscript(Transcript *transcript) { m_transcript = transcript; }

    // Port 0 picks a free port; port() then tells which.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    void close();

    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    int connectionCount() const { return m_connections; }
    PrinterSession *session() const { return m_session; }

Q_SIGNALS:
    void sessionStarted(zelsim::PrinterSession *session);
    void sessionEnded();

private:
    void serveNext();
    void endSession();

    FaultPlan m_faults;
    QPointer<QIODevice> m_capture;
    Transcript *m_transcript = nullptr;
    QTcpServer m_server;
    QHostAddress m_address;
    quint16 m_port = 0;
    int m_connections = 0;
    QTcpSocket *m_socket = nullptr;
    PrinterSession *m_session = nullptr;
};

} // namespace zelsim

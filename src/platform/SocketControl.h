#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

// The TCP/IP connection as the socket link uses it: a state number, the
// bytes waiting, send, connect, close, and errors as the numbers Windows
// sockets report, so the status texts read the same as on the serial side.
class SocketControl : public QObject {
    Q_OBJECT
public:
    // The callers only tell Closed and Connected apart; the rest say why
    // the socket is neither.
    enum State {
        Closed = 0,
        Bound = 1,
        Listening = 2,
        HostLookup = 4,
        Connecting = 6,
        Connected = 7,
        Closing = 8,
    };

    explicit SocketControl(QObject *parent = nullptr);
    ~SocketControl() override;

    int state() const;
    // Bytes waiting to be taken; they survive a close, so a reply that
    // came just before the printer hung up can still be read.
    qint64 bytesReceived() const { return m_received.size(); }
    // All bytes waiting, removed.
    QByteArray takeData();
    // Blocks up to `ms` for bytes to arrive, without the event loop; they
    // are announced as from the loop.
    void waitForData(int ms);
    // Sends the bytes at once as far as the network takes them and queues
    // the rest; ignored unless connected.
    void sendData(const QByteArray &bytes);
    // Closes any earlier connection and starts a new one; host names are
    // looked up, IPv4 and IPv6 addresses both work.
    void connectTo(const QString &host, quint16 port);
    // Drops the connection at once: state() is Closed on return.
    void close();

    // 10061 refused, 10060 timed out, 10065 unreachable, 11001 host not
    // found, 10053 closed by the peer, 10054 lost while connected.
    static int errorNumber(QAbstractSocket::SocketError error, bool wasConnected);

Q_SIGNALS:
    void connected();
    void dataArrived(qint64 count);
    // Everything written has gone to the network.
    void sendComplete();
    // The printer closed (or reset) the connection; not an error here,
    // the link decides what it means.
    void peerClosed();
    void errorOccurred(int number, const QString &description);

private:
    void onConnected();
    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void reportPeerClosed();

    QTcpSocket m_socket;
    QByteArray m_received;
    // Set while a connection made by connectTo is up; a close of our own
    // clears it first, so only the printer's close is reported.
    bool m_open = false;
    // Set during waitForData, whose end Qt reports as a socket time-out.
    bool m_briefWait = false;
};

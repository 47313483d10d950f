#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>

class QEventLoop;

// Finds printers: connects to the raw port of each address, asks "{SR}" and
// takes what comes back within the time-out, a bounded number of
// connections at a time. An address that takes the connection counts as
// found, with or without a reply.
class Discovery : public QObject {
    Q_OBJECT
public:
    struct Found {
        QHostAddress address;
        quint16 port = 0;
        QByteArray reply; // empty when none came in time
        qint64 milliseconds = 0;
    };

    Discovery(const QList<QHostAddress> &addresses, quint16 port, int parallel, int timeoutMs,
              QObject *parent = nullptr);

    // In address order.
    QList<Found> run();
    // Starts no more connections; those under way end at their time-out.
    void stop() { m_next = m_addresses.size(); }

private:
    void startNext();
    void finished(const Found &found, bool connected);

    QList<QHostAddress> m_addresses;
    quint16 m_port;
    int m_parallel;
    int m_timeoutMs;
    qsizetype m_next = 0;
    int m_running = 0;
    QList<Found> m_found;
    QEventLoop *m_loop = nullptr;
};

#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

// Counts what goes over a link and, when asked, writes it into a trace file
// with the seconds since the start: "> " and the bytes sent, "< " with the
// reply wait's result and the bytes received. Bytes outside printable ASCII
// are written as escapes (\r, \n, \xHH).
class TrafficMeter {
public:
    TrafficMeter();

    bool openTrace(const QString &path, QString *error);

    void sent(const QByteArray &bytes);
    void received(qint16 result, const QByteArray &bytes);

    qint64 bytes() const { return m_bytes; }
    // Transmissions that end a packet (a closing brace).
    int packets() const { return m_packets; }
    // Reply waits that brought bytes.
    int replies() const { return m_replies; }

    static QByteArray escaped(const QByteArray &bytes);

private:
    void trace(const QByteArray &line);

    QElapsedTimer m_clock;
    QFile m_trace;
    qint64 m_bytes = 0;
    int m_packets = 0;
    int m_replies = 0;
};

#include "TrafficMeter.h"

TrafficMeter::TrafficMeter() {
    m_clock.start();
}

bool TrafficMeter::openTrace(const QString &path, QString *error) {
    m_trace.setFileName(path);
    if (m_trace.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    *error = QStringLiteral("%1: %2").arg(path, m_trace.errorString());
    return false;
}

void TrafficMeter::sent(const QByteArray &bytes) {
    m_bytes += bytes.size();
    if (bytes.endsWith('}'))
        ++m_packets;
    trace("> " + escaped(bytes));
}

void TrafficMeter::received(qint16 result, const QByteArray &bytes) {
    if (!bytes.isEmpty())
        ++m_replies;
    trace("< [" + QByteArray::number(result) + "] " + escaped(bytes));
}

void TrafficMeter::trace(const QByteArray &line) {
    if (!m_trace.isOpen())
        return;
    m_trace.write(QByteArray::number(double(m_clock.nsecsElapsed()) / 1e9, 'f', 6) + ' ' + line +
                  '\n');
    // A trace is read when something went wrong: keep it whole up to here.
    m_trace.flush();
}

QByteArray TrafficMeter::escaped(const QByteArray &bytes) {
    QByteArray text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = uchar(c);
        if (c == '\\')
            text += "\\\\";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (b >= 0x20 && b < 0x7f)
            text += c;
        else
            text += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
    }
    return text;
}

#include "MeteredSocket.h"

#include "TrafficMeter.h"

void MeteredSocket::send(const QByteArray &text, float &timeout) {
    m_meter.sent(text);
    m_link.send(text, timeout);
}

qint16 MeteredSocket::receive(QByteArray &reply, qint32 count, float &timeout) {
    const qint16 result = m_link.receive(reply, count, timeout);
    m_meter.received(result, reply);
    return result;
}

#include "MeteredSerial.h"

#include "TrafficMeter.h"

void MeteredSerial::send(const QByteArray &text) {
    m_meter.sent(text);
    m_link.send(text);
}

qint16 MeteredSerial::receive(QByteArray &reply, qint32 count, float &timeout) {
    const qint16 result = m_link.receive(reply, count, timeout);
    m_meter.received(result, reply);
    return result;
}

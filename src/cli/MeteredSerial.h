#pragma once

#include "Channels.h"

class TrafficMeter;

// The serial link as the engine sees it here: every call goes to the real
// link (or the dry run's), and what passes is counted and traced.
class MeteredSerial : public SerialChannel {
public:
    MeteredSerial(SerialChannel &link, TrafficMeter &meter) : m_link(link), m_meter(meter) {}

    void openPort() override { m_link.openPort(); }
    void closePort() override { m_link.closePort(); }
    void send(const QByteArray &text) override;
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override;
    void clearInput() override { m_link.clearInput(); }
    void drainOutput() override { m_link.drainOutput(); }
    QString portSettings() const override { return m_link.portSettings(); }
    void applyPortSettings(int handshaking, const QString &settings, int portNumber) override {
        m_link.applyPortSettings(handshaking, settings, portNumber);
    }

private:
    SerialChannel &m_link;
    TrafficMeter &m_meter;
};

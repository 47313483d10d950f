#pragma once

#include "Channels.h"

class TrafficMeter;

// The TCP/IP link as the engine sees it here: every call goes to the real
// link (or the dry run's), and what passes is counted and traced. The
// keep-alive blanks the link sends on its own are not seen.
class MeteredSocket : public SocketChannel {
public:
    MeteredSocket(SocketChannel &link, TrafficMeter &meter) : m_link(link), m_meter(meter) {}

    bool connectToPrinter() override { return m_link.connectToPrinter(); }
    void send(const QByteArray &text, float &timeout) override;
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override;
    void closeConnection() override { m_link.closeConnection(); }
    void setKeepAlive(bool on) override { m_link.setKeepAlive(on); }

private:
    SocketChannel &m_link;
    TrafficMeter &m_meter;
};

#pragma once

#include "Channels.h"

// The socket link as seen before a connection can be made: nothing is sent
// and every receive reports "not connected".
class UnconnectedSocket : public SocketChannel {
public:
    bool SockConnect() override { return false; }
    void SockSend(const QByteArray &, float &) override {}
    qint16 SockReceive(QByteArray &reply, qint32, float &) override {
        reply.clear();
        return -2;
    }
    void SockClose() override {}
    void setKeepAlive(bool) override {}
};

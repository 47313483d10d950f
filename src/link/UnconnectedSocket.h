#pragma once

#include "Channels.h"

// The socket link as seen before a connection can be made: nothing is sent
// and every receive reports "not connected".
class UnconnectedSocket : public SocketChannel {
public:
    bool connectToPrinter() override { return false; }
    void send(const QByteArray &, float &) override {}
    qint16 receive(QByteArray &reply, qint32, float &) override {
        reply.clear();
        return -2;
    }
    void closeConnection() override {}
    void setKeepAlive(bool) override {}
};

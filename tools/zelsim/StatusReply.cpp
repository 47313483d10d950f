#include "StatusReply.h"

namespace zelsim::StatusReply {

QByteArray make(int packetNumber, char completion, char status) {
    QByteArray reply = "{CP=";
    reply += completion;
    reply += ",P=";
    reply += QByteArray::number(packetNumber % 1000).rightJustified(3, '0');
    reply += ',';
    reply += status;
    reply += '}';
    return reply;
}

QByteArray garbage(int length) {
    // Fixed so a client's view of the fault is repeatable; no XON/XOFF bytes, which
    // would stall a serial client that uses software flow control.
    static const QByteArray noise("\xff\x00\x1b[\x7f\x80\xfe\x01\x02\r\x07\xa5\xc3\x18", 14);
    QByteArray out;
    while (out.size() < length)
        out += noise;
    out.truncate(length);
    return out;
}

} // namespace zelsim::StatusReply

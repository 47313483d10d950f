#include "PacketRules.h"

#include <QRegularExpression>

#include <array>

namespace zelsim::PacketRules {

bool isStatusRequest(const QByteArray &packet) {
    return packet == "{SR}";
}

bool takesReply(const QByteArray &packet, Transport transport) {
    // "{RA_" is lookup record 10, which the utility awaits in the lookup stage,
    // but a "{RA" packet inside an application or bundle file is not awaited,
    // and the bytes are the same. On the serial link a stray reply is harmless,
    // since the utility empties its input before each wait. Over TCP a stray
    // reply would be matched to the next packet, while a missing one only costs
    // a wait, so there every "{RA" packet stays silent.
    if (packet.startsWith("{RA"))
        return transport == Transport::Pty && packet.startsWith("{RA_");
    // Heads the utility sends without waiting; the printer stays quiet for them.
    static constexpr std::array<const char *, 12> silentHeads = {
        "{V ", "{F,", "{ F", "{G,", "{ G", "{W,", "{ W", "{A,", "{ A", "{I,", "{ I", "{S "};
    const QByteArray head = packet.left(3);
    for (const char *silent : silentHeads) {
        if (head == silent)
            return false;
    }
    if (packet == "{Q }")
        return false;
    static const QRegularExpression slotClear(QStringLiteral("^\\{C[0-9]+\\}$"));
    return !slotClear.match(QString::fromLatin1(packet)).hasMatch();
}

bool skipsNextReply(const QByteArray &caret) {
    return caret.startsWith("^MM");
}

bool cancelsSkip(const QByteArray &text) {
    return text == "0";
}

} // namespace zelsim::PacketRules

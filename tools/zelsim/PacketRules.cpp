#include "PacketRules.h"

#include <QRegularExpression>

#include <array>

namespace zelsim::PacketRules {

bool isStatusRequest(const QByteArray &packet) {
    return packet == "{SR}";
}

bool takesReply(const QByteArray &packet) {
    // Heads the utility sends without waiting; the printer stays quiet for them.
    static constexpr std::array<const char *, 13> silentHeads = {
        "{RA", "{V ", "{F,", "{ F", "{G,", "{ G", "{W,", "{ W", "{A,", "{ A", "{I,", "{ I", "{S "};
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

#include "Framing.h"

namespace Framing {

namespace {
const QByteArray kCrLf = QByteArrayLiteral("\r\n");

bool isMultiLineHead(const QByteArray &line) {
    return line.size() >= 3 && line.startsWith("{R") && line.at(2) >= 'B' && line.at(2) <= 'K';
}

// Packets the printer takes without a reply.
bool isOnSkipList(const QByteArray &line) {
    static const char *const heads[] = {"{RA", "{V ", "{F,", "{ F", "{G,", "{ G", "{W,",
                                        "{ W", "{A,", "{ A", "{I,", "{ I", "{S ", "^MM"};
    const QByteArray first = line.left(3);
    for (const char *head : heads) {
        if (first == head)
            return true;
    }
    return false;
}
} // namespace

QByteArray frameLine(const QByteArray &line, State &state) {
    QByteArray out = line;
    if (state.recordOpen) {
        if (out.endsWith('}'))
            state.recordOpen = false;
        else if (!out.endsWith('|'))
            out += kCrLf;
    }
    // A head that neither closes nor ends in a bar opens a record.
    if (isMultiLineHead(out) && !out.endsWith('}') && !out.endsWith('|')) {
        out += kCrLf;
        state.recordOpen = true;
    }
    if (out.endsWith('|'))
        out += kCrLf;
    return out;
}

bool awaitsReply(const QByteArray &rawLine, const QByteArray &framedLine, State &state,
                 bool useSkipList) {
    if (useSkipList) {
        if (isOnSkipList(rawLine))
            state.skipReply = true;
        else if (rawLine == "0")
            state.skipReply = false;
    }
    if (!framedLine.endsWith('}'))
        return false;
    if (state.skipReply) {
        state.skipReply = false;
        return false;
    }
    return true;
}

} // namespace Framing

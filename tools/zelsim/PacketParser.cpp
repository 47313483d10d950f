#include "PacketParser.h"

namespace zelsim {

namespace {

constexpr char Can = 0x18;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Bytes that end a caret command or stray text and are then read afresh.
bool endsBareItem(char c) {
    return c == '{' || c == '^' || c == Can || c == ' ' || isLineEnd(c);
}

// A caret command is "^", two letters and one parameter character; the keypad
// reset "^PR" alone takes no parameter.
bool caretComplete(const QByteArray &caret) {
    if (caret.size() == 3)
        return caret == "^PR";
    return caret.size() >= 4;
}

} // namespace

QList<ParsedItem> PacketParser::feed(const QByteArray &chunk) {
    QList<ParsedItem> out;
    for (const char c : chunk) {
        switch (m_state) {
        case State::Idle:
            idleByte(c, out);
            break;
        case State::InPacket:
            if (isLineEnd(c)) {
                m_inQuotes = false;
                m_pending.append(c);
            } else if (c == '"') {
                m_inQuotes = !m_inQuotes;
                m_pending.append(c);
            } else if (m_inQuotes) {
                m_pending.append(c);
            } else if (c == '}') {
                m_pending.append(c);
                out.append({ParsedItem::Kind::Packet, m_pending});
                m_pending.clear();
                m_state = State::Idle;
            } else if (c == '{') {
                // A printer resynchronises on a new opening brace.
                out.append({ParsedItem::Kind::Abandoned, m_pending});
                m_pending = QByteArray(1, c);
            } else {
                m_pending.append(c);
            }
            break;
        case State::InCaret:
            if (endsBareItem(c)) {
                emitPending(out);
                idleByte(c, out);
            } else {
                m_pending.append(c);
                if (caretComplete(m_pending))
                    emitPending(out);
            }
            break;
        case State::InText:
            if (endsBareItem(c)) {
                emitPending(out);
                idleByte(c, out);
            } else {
                m_pending.append(c);
            }
            break;
        }
    }
    return out;
}

QList<ParsedItem> PacketParser::finish() {
    QList<ParsedItem> out;
    emitPending(out);
    reset();
    return out;
}

void PacketParser::reset() {
    m_state = State::Idle;
    m_inQuotes = false;
    m_pending.clear();
}

QByteArray PacketParser::kindName(ParsedItem::Kind kind) {
    switch (kind) {
    case ParsedItem::Kind::Packet:
        return "packet";
    case ParsedItem::Kind::Caret:
        return "command";
    case ParsedItem::Kind::Cancel:
        return "CAN";
    case ParsedItem::Kind::KeepAlive:
        return "keep-alive";
    case ParsedItem::Kind::Text:
        return "text";
    case ParsedItem::Kind::Abandoned:
        return "unfinished packet";
    }
    return "?";
}

void PacketParser::emitPending(QList<ParsedItem> &out) {
    switch (m_state) {
    case State::Idle:
        break;
    case State::InPacket:
        out.append({ParsedItem::Kind::Abandoned, m_pending});
        break;
    case State::InCaret:
        out.append({ParsedItem::Kind::Caret, m_pending});
        break;
    case State::InText:
        out.append({ParsedItem::Kind::Text, m_pending});
        break;
    }
    m_pending.clear();
    m_inQuotes = false;
    m_state = State::Idle;
}

void PacketParser::idleByte(char c, QList<ParsedItem> &out) {
    switch (c) {
    case '{':
        m_state = State::InPacket;
        m_pending = QByteArray(1, c);
        break;
    case '^':
        m_state = State::InCaret;
        m_pending = QByteArray(1, c);
        break;
    case Can:
        out.append({ParsedItem::Kind::Cancel, QByteArray(1, c)});
        break;
    case ' ':
        out.append({ParsedItem::Kind::KeepAlive, QByteArray(1, c)});
        break;
    case '\r':
    case '\n':
        break;
    default:
        m_state = State::InText;
        m_pending = QByteArray(1, c);
        break;
    }
}

} // namespace zelsim

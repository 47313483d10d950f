#pragma once

#include <QByteArray>
#include <QList>

namespace zelsim {

// One unit of the printer's input stream.
struct ParsedItem {
    enum class Kind {
        Packet,    // "{" ... "}", braces included
        Caret,     // a bare caret command such as "^MOi" or "^PR"
        Cancel,    // the CAN byte 0x18
        KeepAlive, // a single blank between packets
        Text,      // stray bytes between packets (for example a lone "0" line)
        Abandoned, // an unfinished packet cut short by a new "{"
    };
    Kind kind;
    QByteArray bytes;

    bool operator==(const ParsedItem &other) const = default;
};

// Splits the byte stream into items. Pure: feed it chunks as they arrive, in any
// sizes, and it returns the items completed by each chunk.
//
// A packet runs from "{" to the first "}" outside double quotes. A quote never
// spans a line end, so one stray quote cannot swallow the rest of a download.
// Between packets, CR and LF are line ends and carry no meaning.
class PacketParser {
public:
    QList<ParsedItem> feed(const QByteArray &chunk);
    // Items still open at the end of the stream (an unfinished packet or text).
    QList<ParsedItem> finish();
    void reset();

    static QByteArray kindName(ParsedItem::Kind kind);

private:
    enum class State { Idle, InPacket, InCaret, InText };

    void emitPending(QList<ParsedItem> &out);
    void idleByte(char c, QList<ParsedItem> &out);

    State m_state = State::Idle;
    bool m_inQuotes = false;
    QByteArray m_pending;
};

} // namespace zelsim

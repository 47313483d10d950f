// The virtual printer's splitting of its input stream into items.
//
// The first byte picks where the stream is cut; the whole input is the stream.
// Properties:
// - fed whole, fed in two pieces cut there, and fed one byte at a time, the
//   parser gives the same items (finish() included);
// - the items are the stream's own bytes, in order and back to back, except
//   CR and LF between items, which the parser drops;
// - no item is empty; a packet runs from "{" to "}", an unfinished packet
//   starts with "{", a caret command is "^" and at most three more bytes, CAN
//   and keep-alive items are the single byte 0x18 and " ", and stray text
//   holds none of "{", "^", 0x18, " ", CR or LF.
#include "FuzzCheck.h"
#include "PacketParser.h"

#include <cstdint>

using zelsim::PacketParser;
using zelsim::ParsedItem;
using Kind = ParsedItem::Kind;

namespace {

QList<ParsedItem> parse(const QList<QByteArray> &pieces) {
    PacketParser parser;
    QList<ParsedItem> items;
    for (const QByteArray &piece : pieces)
        items += parser.feed(piece);
    return items + parser.finish();
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

void checkItem(const ParsedItem &item) {
    const QByteArray &b = item.bytes;
    FUZZ_CHECK(!b.isEmpty());
    switch (item.kind) {
    case Kind::Packet:
        FUZZ_CHECK(b.startsWith('{') && b.endsWith('}'));
        break;
    case Kind::Abandoned:
        FUZZ_CHECK(b.startsWith('{'));
        break;
    case Kind::Caret:
        FUZZ_CHECK(b.startsWith('^') && b.size() <= 4);
        break;
    case Kind::Cancel:
        FUZZ_CHECK(b == QByteArray(1, 0x18));
        break;
    case Kind::KeepAlive:
        FUZZ_CHECK(b == " ");
        break;
    case Kind::Text:
        for (const char c : b)
            FUZZ_CHECK(c != '{' && c != '^' && c != 0x18 && c != ' ' && !isLineEnd(c));
        break;
    }
}

void checkItemsCoverStream(const QByteArray &stream, const QList<ParsedItem> &items) {
    qsizetype pos = 0;
    const auto skipLineEnds = [&] {
        while (pos < stream.size() && isLineEnd(stream[pos]))
            ++pos;
    };
    for (const ParsedItem &item : items) {
        checkItem(item);
        skipLineEnds();
        FUZZ_CHECK(stream.mid(pos, item.bytes.size()) == item.bytes);
        pos += item.bytes.size();
    }
    skipLineEnds();
    FUZZ_CHECK(pos == stream.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray stream(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<ParsedItem> whole = parse({stream});
    checkItemsCoverStream(stream, whole);

    const qsizetype cut = size > 0 ? data[0] % (size + 1) : 0;
    FUZZ_CHECK(parse({stream.first(cut), stream.sliced(cut)}) == whole);

    QList<QByteArray> bytes;
    for (const char c : stream)
        bytes.append(QByteArray(1, c));
    FUZZ_CHECK(parse(bytes) == whole);
    return 0;
}

#include "PacketParser.h"

#include <QTest>

using zelsim::PacketParser;

namespace {

// The items of `stream` fed in pieces cut at `cuts`, each as "kind bytes".
QByteArrayList parse(const QByteArray &stream, const QList<qsizetype> &cuts) {
    PacketParser parser;
    QList<zelsim::ParsedItem> items;
    qsizetype from = 0;
    for (const qsizetype cut : cuts + QList<qsizetype>{stream.size()}) {
        items += parser.feed(stream.mid(from, cut - from));
        from = cut;
    }
    QByteArrayList texts;
    for (const zelsim::ParsedItem &item : items + parser.finish())
        texts += PacketParser::kindName(item.kind) + ' ' + item.bytes;
    return texts;
}

} // namespace

class ParserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameItemsHoweverTheStreamIsCut_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QByteArrayList>("expected");

        const QByteArray immediate = R"({I,E,"~123~044~034~124~125~126~094","~013"|})";
        QByteArray everyByte;
        for (int value = 0; value < 256; ++value)
            everyByte += static_cast<char>(value);
        everyByte = "{D," + everyByte.removeIf([](char c) {
            return c == '{' || c == '}' || c == '"';
        }) + '}';

        QTest::newRow("glued packets, keep-alive blanks, unfinished packets")
            << QByteArray(" {SR}  {X,1}{B,2,N|} {X,12{SR}{X,1")
            << QByteArrayList{"keep-alive  ", "packet {SR}",
                              "keep-alive  ", "keep-alive  ",
                              "packet {X,1}", "packet {B,2,N|}",
                              "keep-alive  ", "unfinished packet {X,12",
                              "packet {SR}",  "unfinished packet {X,1"};
        QTest::newRow("quoted braces, a quote ends at a line end, line ends between packets")
            << QByteArray("\r\n{B,1,\"a}b{c\"|}{T,1,\"open|\r\nB\r\n}\r\n\n{S }\r")
            << QByteArrayList{"packet {B,1,\"a}b{c\"|}", "packet {T,1,\"open|\r\nB\r\n}",
                              "packet {S }"};
        QTest::newRow("keypad commands")
            << immediate + "^MOi^PTX^PTS^PT2^SFa\x18^PR{S }^P{SR}^PR"
            << QByteArrayList{"packet " + immediate, "command ^MOi", "command ^PTX", "command ^PTS",
                              "command ^PT2",        "command ^SFa", "CAN \x18",     "command ^PR",
                              "packet {S }",         "command ^P",   "packet {SR}",  "command ^PR"};
        QTest::newRow("stray text")
            << QByteArray("0{X,1}hello\r\n}x")
            << QByteArrayList{"text 0", "packet {X,1}", "text hello", "text }x"};
        QTest::newRow("every byte value inside a packet")
            << everyByte << QByteArrayList{"packet " + everyByte};
    }

    void sameItemsHoweverTheStreamIsCut() {
        QFETCH(QByteArray, stream);
        QFETCH(QByteArrayList, expected);
        QList<qsizetype> everyByte;
        for (qsizetype at = 1; at < stream.size(); ++at)
            everyByte.append(at);
        QCOMPARE(parse(stream, everyByte), expected);
        // One or two cuts anywhere, the whole stream included.
        for (qsizetype first = 0; first <= stream.size(); ++first) {
            for (qsizetype second = first; second <= stream.size(); ++second) {
                if (parse(stream, {first, second}) != expected)
                    QFAIL(qPrintable(
                        QStringLiteral("differs when cut at %1 and %2").arg(first).arg(second)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ParserTest)
#include "tst_zelsim_parser.moc"

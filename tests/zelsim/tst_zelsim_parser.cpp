#include "PacketParser.h"

#include <QTest>

using zelsim::PacketParser;
using zelsim::ParsedItem;
using Kind = zelsim::ParsedItem::Kind;
using Items = QList<ParsedItem>;

Q_DECLARE_METATYPE(Items)

namespace QTest {
template <> char *toString(const ParsedItem &item) {
    const QByteArray text =
        PacketParser::kindName(item.kind) + ' ' + item.bytes.toPercentEncoding(" {}^|,_\"");
    return qstrdup(text.constData());
}
} // namespace QTest

namespace {

ParsedItem packet(const QByteArray &bytes) {
    return {Kind::Packet, bytes};
}
ParsedItem caret(const QByteArray &bytes) {
    return {Kind::Caret, bytes};
}
ParsedItem text(const QByteArray &bytes) {
    return {Kind::Text, bytes};
}
ParsedItem abandoned(const QByteArray &bytes) {
    return {Kind::Abandoned, bytes};
}
const ParsedItem blank{Kind::KeepAlive, " "};
const ParsedItem cancel{Kind::Cancel, "\x18"};

Items parseInPieces(const QByteArray &stream, const QList<qsizetype> &cuts) {
    PacketParser parser;
    Items items;
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        items += parser.feed(stream.mid(from, cut - from));
        from = cut;
    }
    items += parser.feed(stream.mid(from));
    items += parser.finish();
    return items;
}

QByteArray everyByteButFraming() {
    QByteArray bytes;
    for (int value = 0; value < 256; ++value) {
        const char c = static_cast<char>(value);
        if (c != '{' && c != '}' && c != '"')
            bytes += c;
    }
    return bytes;
}

} // namespace

class ParserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeStream_data() { addStreams(); }
    void wholeStream();
    void cutAtEveryPosition_data() { addStreams(); }
    void cutAtEveryPosition();
    void cutAtEveryPairOfPositions_data() { addStreams(); }
    void cutAtEveryPairOfPositions();
    void byteByByte_data() { addStreams(); }
    void byteByByte();
    void resetForgetsAHalfPacket();

private:
    static void addStreams();
};

void ParserTest::addStreams() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<Items>("expected");

    const QByteArray immediate = R"({I,E,"~123~044~034~124~125~126~094"|})";
    const QByteArray longImmediate = R"({I,E,"~123~044~034~124~125~126~094","~013"|})";

    QTest::newRow("status request") << QByteArray("{SR}") << Items{packet("{SR}")};
    QTest::newRow("glued packets") << QByteArray("{SR}{X,1}{B,2,N|}")
                                   << Items{packet("{SR}"), packet("{X,1}"), packet("{B,2,N|}")};
    QTest::newRow("quoted braces") << QByteArray(R"({B,1,"a}b{c"|}{SR})")
                                   << Items{packet(R"({B,1,"a}b{c"|})"), packet("{SR}")};
    QTest::newRow("quote closed by line end") << QByteArray("{T,1,\"open|\r\n}{SR}")
                                              << Items{packet("{T,1,\"open|\r\n}"), packet("{SR}")};
    QTest::newRow("format over several lines")
        << QByteArray("{F,1,A,R,E,200,200,\"FMT1\"|\r\nT,1,10,V,50,50|\r\n}")
        << Items{packet("{F,1,A,R,E,200,200,\"FMT1\"|\r\nT,1,10,V,50,50|\r\n}")};
    QTest::newRow("lookup record")
        << QByteArray("{R0_XXXX_A|\r\nB|\r\n}\r\n") << Items{packet("{R0_XXXX_A|\r\nB|\r\n}")};
    QTest::newRow("multi-line record") << QByteArray("{RB_XXXX_first\r\nsecond\r\n}")
                                       << Items{packet("{RB_XXXX_first\r\nsecond\r\n}")};
    QTest::newRow("line ends between packets")
        << QByteArray("\r\n{A,1|}\r\n\n{A,2|}\r") << Items{packet("{A,1|}"), packet("{A,2|}")};
    QTest::newRow("keep-alive blanks")
        << QByteArray(" {SR}  {X,1} ")
        << Items{blank, packet("{SR}"), blank, blank, packet("{X,1}"), blank};
    QTest::newRow("blank inside a packet is data")
        << QByteArray("{S }{Q }") << Items{packet("{S }"), packet("{Q }")};
    QTest::newRow("keypad pass-through preparation")
        << immediate + "^MOi^PTX^PTS^PT2^PT2\x18{SR}"
        << Items{packet(immediate), caret("^MOi"), caret("^PTX"), caret("^PTS"),
                 caret("^PT2"),     caret("^PT2"), cancel,        packet("{SR}")};
    QTest::newRow("immediate command and ^SFa")
        << longImmediate + "^SFa" << Items{packet(longImmediate), caret("^SFa")};
    QTest::newRow("keypad reset then closing packet")
        << QByteArray("^PR{S }") << Items{caret("^PR"), packet("{S }")};
    QTest::newRow("keypad reset at the end") << QByteArray("^PR") << Items{caret("^PR")};
    QTest::newRow("caret cut short") << QByteArray("^P{SR}") << Items{caret("^P"), packet("{SR}")};
    QTest::newRow("lone zero line") << QByteArray("0{X,1}") << Items{text("0"), packet("{X,1}")};
    QTest::newRow("stray text") << QByteArray("hello\r\n}x") << Items{text("hello"), text("}x")};
    QTest::newRow("new brace abandons a packet")
        << QByteArray("{X,12{SR}") << Items{abandoned("{X,12"), packet("{SR}")};
    QTest::newRow("unfinished packet at the end")
        << QByteArray("{SR}{X,1") << Items{packet("{SR}"), abandoned("{X,1")};
    QTest::newRow("every byte value inside a packet")
        << "{D," + everyByteButFraming() + "}"
        << Items{packet("{D," + everyByteButFraming() + "}")};
}

void ParserTest::wholeStream() {
    QFETCH(QByteArray, stream);
    QFETCH(Items, expected);
    QCOMPARE(parseInPieces(stream, {}), expected);
}

void ParserTest::cutAtEveryPosition() {
    QFETCH(QByteArray, stream);
    QFETCH(Items, expected);
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        const Items items = parseInPieces(stream, {cut});
        if (items != expected)
            QFAIL(qPrintable(QStringLiteral("differs when cut at %1").arg(cut)));
    }
}

void ParserTest::cutAtEveryPairOfPositions() {
    QFETCH(QByteArray, stream);
    QFETCH(Items, expected);
    for (qsizetype first = 0; first <= stream.size(); ++first) {
        for (qsizetype second = first; second <= stream.size(); ++second) {
            if (parseInPieces(stream, {first, second}) != expected)
                QFAIL(qPrintable(
                    QStringLiteral("differs when cut at %1 and %2").arg(first).arg(second)));
        }
    }
}

void ParserTest::byteByByte() {
    QFETCH(QByteArray, stream);
    QFETCH(Items, expected);
    QList<qsizetype> cuts;
    for (qsizetype at = 1; at < stream.size(); ++at)
        cuts.append(at);
    QCOMPARE(parseInPieces(stream, cuts), expected);
}

void ParserTest::resetForgetsAHalfPacket() {
    PacketParser parser;
    QVERIFY(parser.feed("{X,\"1").isEmpty());
    parser.reset();
    QCOMPARE(parser.feed("{SR}"), Items{packet("{SR}")});
}

QTEST_GUILESS_MAIN(ParserTest)
#include "tst_zelsim_parser.moc"

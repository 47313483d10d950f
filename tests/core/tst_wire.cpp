#include "Framing.h"
#include "LineReader.h"
#include "LineSettings.h"
#include "LookupRecord.h"
#include "ReplyVerdict.h"

#include <QBuffer>
#include <QTest>

using namespace ReplyVerdict;
Q_DECLARE_METATYPE(Context)

// The bytes on the wire: how files are cut into lines and framed, where the
// printer's reply is awaited, and how that reply is judged.
class tst_Wire : public QObject {
    Q_OBJECT

    static QByteArrayList lines(QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        LineReader reader(buffer);
        QByteArrayList out;
        while (const auto line = reader.readLine())
            out << *line;
        return out;
    }

private Q_SLOTS:
    void lineEnds_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("CR LF, LF and CR")
            << QByteArray("a\r\nb\nc\rd") << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("final line end adds no line") << QByteArray("a\r\n") << QByteArrayList{"a"};
        QTest::newRow("empty lines kept") << QByteArray("\r\n\n\r") << QByteArrayList{"", "", ""};
        QTest::newRow("CR then LF across a chunk")
            << QByteArray(65535, 'x') + "\r\ny" << QByteArrayList{QByteArray(65535, 'x'), "y"};
        QTest::newRow("empty file") << QByteArray() << QByteArrayList{};
    }
    void lineEnds() {
        QFETCH(QByteArray, file);
        QTEST(lines(file), "expected");
    }

    void everyByteValueSurvives() {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            if (i != '\r' && i != '\n')
                all.append(char(i));
        QCOMPARE(lines(all + "\r\n" + all), (QByteArrayList{all, all}));
    }

    // `wire` is what goes out, with "#" where a reply is awaited.
    void framing_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("application");
        QTest::addColumn<QByteArray>("wire");
        const auto row = [](const char *name, const char *file, const char *wire, bool app = true) {
            QTest::newRow(name) << QByteArray(file) << app << QByteArray(wire);
        };
        row("packet", "{X,1}\n{Y,2}", "{X,1}#{Y,2}#");
        row("no closing brace", "{X,1", "{X,1");
        row("plain line has no line end, bar line gets CR LF", "AB\nCD|", "ABCD|\r\n");
        row("skip list head", "{F,1,A}\n{V 1}\n{I,E}\n{S }\n{RA_1}\n{X}",
            "{F,1,A}{V 1}{I,E}{S }{RA_1}{X}#");
        row("near misses are awaited", "{v 1}\n{F 1}\n{S}\n {F,1}", "{v 1}#{F 1}#{S}# {F,1}#");
        row("skip holds to the closing line", "{F,1|\n}\n{X}", "{F,1|\r\n}{X}#");
        row("^MM skips the next packet", "^MMT\n{X,1}\n{Y,2}", "^MMT{X,1}{Y,2}#");
        row("a line of 0 clears the skip", "^MMT\n0\n{X,1}", "^MMT0{X,1}#");
        row("only 0 clears it", "^MMT\n00\n{X,1}\n{Y}", "^MMT00{X,1}{Y}#");
        row("multi-line record", "{RB_XXXX_\nDEF\nGH}\nIJ", "{RB_XXXX_\r\nDEF\r\nGH}#IJ");
        row("bar and empty lines in a record", "{RK_\nA|\n\n}", "{RK_\r\nA|\r\n\r\n}#");
        row("record closing on its head line", "{RC_1}\nnext", "{RC_1}#next");
        row("record head ending in a bar", "{RD_A|\nB", "{RD_A|\r\nB");
        row("{R0 and {RL are not multi-line", "{R0_\nD\n}\n{RL_\nE}", "{R0_D}#{RL_E}#");
        row("lookups have no skip list", "{RA_XXXX_A|\n}\n{F,1}", "{RA_XXXX_A|\r\n}#{F,1}#", false);
        row("^MM means nothing in a lookup", "^MM\n{X}", "^MM{X}#", false);
    }
    void framing() {
        QFETCH(QByteArray, file);
        QFETCH(bool, application);
        QByteArray wire;
        Framing::State state;
        for (const QByteArray &line : lines(file)) {
            const QByteArray framed = Framing::frameLine(line, state);
            wire += framed;
            if (Framing::awaitsReply(line, framed, state, application))
                wire += '#';
        }
        QTEST(wire, "wire");
    }

    void lookupRecords() {
        QCOMPARE(LookupRecord::make("A|", 0), QByteArray("{R0_XXXX_A|}"));
        QCOMPARE(LookupRecord::make("A", 2), QByteArray("{RD_XXXX_A}"));
        for (const char *head : {"{R0_", "{R9_x", "{RA_", "{RK_1}"})
            QVERIFY2(LookupRecord::isRecordHead(head), head);
        for (const char *head : {"{RL_", "{R0", "{R0,", "{r0_", " {RA_", ""})
            QVERIFY2(!LookupRecord::isRecordHead(head), head);
    }

    // "baud,parity,data bits,stop bits"; anything else is refused whole.
    void lineSettings() {
        const auto parsed = [](const char *text) {
            const auto s = LineSettings::parse(QLatin1String(text));
            return s ? QStringLiteral("%1 %2 %3 %4")
                           .arg(s->baud)
                           .arg(s->parity)
                           .arg(s->dataBits)
                           .arg(s->stopBits)
                     : QStringLiteral("-");
        };
        QCOMPARE(parsed(" 19200 , o , 7 , 2 "), QStringLiteral("19200 O 7 2"));
        for (const char *bad :
             {"9600,N,8", "0,N,8,1", "x,N,8,1", "9600,NO,8,1", "9600,,8,1", "9600,X,8,1",
              "9600,N,6,1", "9600,N,x,1", "9600,N,8,3", "9600,N,8,x"})
            QVERIFY2(parsed(bad) == "-", bad);
    }

    // The texts a serial download ends with are compared end to end.
    void verdict_data() {
        QTest::addColumn<Context>("context");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("status");
        const int app = int(Stage::Application), lookup = int(Stage::Lookup),
                  status = int(Stage::StatusCheck);
        const QByteArray good = "{CP=0,P=001,0}", blank = "{CP=0,P=001, }", bad = "{CP=0,P=001,?}";
        // flags: 1 abort requested, 2 break seen
        const auto row = [](const char *name, int stage, bool socket, int result,
                            const QByteArray &reply, int flags, Outcome outcome,
                            const QString &text) {
            QTest::newRow(name) << Context{socket ? Link::Socket : Link::Serial, Stage(stage),
                                           (flags & 1) != 0, (flags & 2) != 0, "app.fpc"}
                                << result << reply << int(outcome) << text;
        };
        row("= accepted", lookup, true, 0, "{CP=0,P=001,=}", 0, Outcome::Accepted,
            "{CP=0,P=001,=} - Success");
        row("blank named over TCP/IP", app, true, 0, blank, 0, Outcome::Accepted,
            blank + "SPACE - Success 0");
        row("blank in a lookup", lookup, true, 0, blank, 0, Outcome::Accepted,
            blank + " - Success");
        row("refused over TCP/IP", app, true, 0, bad, 0, Outcome::Refused, bad + " Packet error 0");
        row("lower-case 0 position", app, false, 0, "{CP=0,P=001,o}", 0, Outcome::Refused,
            "{CP=0,P=001,o} Packet error");
        row("short reply refused", app, false, 0, "{CP=0}", 0, Outcome::Refused,
            "{CP=0} Packet error");
        row("control bytes shown escaped", app, false, 0, QByteArray("{\0\r\n\x7f\xff,P=01,?}", 14),
            0, Outcome::Refused, QString::fromLatin1("{\\x00\\r\\n\\x7f\xff,P=01,?} Packet error"));
        row("time-out over TCP/IP waits again", lookup, true, -1, "", 0, Outcome::WaitAgain, "");
        row("time-out after Cancel", app, false, -1, "", 1, Outcome::Cancelled,
            "app.fpc Download Cancelled");
        row("time-out after a break", lookup, false, -1, "", 3, Outcome::Cancelled,
            "Check Printer...");
        row("status check ignores the break", status, false, -1, "", 3, Outcome::Cancelled,
            "app.fpc Download Cancelled");
        row("TCP/IP cancel is numbered", app, true, -1, "", 3, Outcome::Cancelled,
            "app.fpc Download Cancelled -1");
        row("socket not open", app, true, -2, "", 0, Outcome::Failed, " Socket not open -2");
        row("lookup port not open", lookup, false, -2, "", 0, Outcome::Failed,
            " Comm port not open. ");
        row("lookup socket not open", lookup, true, -2, "", 0, Outcome::Failed,
            " Socket not open. ");
        row("status port not open", status, false, -2, "x", 0, Outcome::Failed,
            "x - Comm port not open");
        row("not open after Cancel", lookup, false, -2, "", 1, Outcome::Cancelled,
            "app.fpc Download Cancelled");
        row("too long over TCP/IP", app, true, -3, good + "X", 0, Outcome::Unjudged, "");
        row("too long status reply", status, true, -3, good + "X", 0, Outcome::Unjudged,
            good + "X - Success");
    }
    void verdict() {
        QFETCH(Context, context);
        QFETCH(int, result);
        QFETCH(QByteArray, reply);
        const Verdict verdict = judge(context, qint16(result), reply);
        QTEST(int(verdict.outcome), "outcome");
        QTEST(verdict.status, "status");
    }

    void afterTheSecondWait() {
        QCOMPARE(afterSecondWait("{CP=0,P=001,0}", 0),
                 QStringLiteral("{CP=0,P=001,0} - Success 0"));
        QCOMPARE(afterSecondWait("", -1), QStringLiteral(" - Success -1"));
    }
};

QTEST_GUILESS_MAIN(tst_Wire)
#include "tst_wire.moc"

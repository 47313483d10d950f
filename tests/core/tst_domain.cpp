#include "DownloadSet.h"
#include "DownloadSetRules.h"
#include "PrinterModels.h"
#include "TextSplit.h"

#include <QTest>

// The download set's rules and the table of printer models.
class tst_Domain : public QObject {
    Q_OBJECT

    static QString names(const DownloadSet &set) {
        QStringList out;
        for (const DownloadSet::Lookup &lookup : set.lookups())
            out << lookup.name;
        return out.join(QLatin1Char(','));
    }

private Q_SLOTS:
    // A limit n splits at most n times; none and a negative one split
    // everywhere; an empty delimiter not at all.
    void splitLimits() {
        QCOMPARE(splitText("1.2.3.4.5.6", ".", 4), QStringList({"1", "2", "3", "4", "5.6"}));
        QCOMPARE(splitText("1.2.3", ".", 0), QStringList{"1.2.3"});
        QCOMPARE(splitText("1.2.3", ".", -2), QStringList({"1", "2", "3"}));
        QCOMPARE(splitText("1.2", ""), QStringList{"1.2"});
    }
    void orderAndNames() {
        DownloadSet set;
        set.addLookups({"/d/a.txt", "C:\\tables\\b.lu", "/d/c.csv"});
        QCOMPARE(names(set), QStringLiteral("a.txt,b.lu,c.csv"));
        QCOMPARE(set.lookups().at(1).path, QStringLiteral("C:\\tables\\b.lu"));
        QVERIFY(set.moveLookup(2, -1));
        QVERIFY(!set.moveLookup(0, -1));
        QVERIFY(!set.moveLookup(2, +1));
        QCOMPARE(names(set), QStringLiteral("a.txt,c.csv,b.lu"));
        set.removeLookup(0);
        set.removeLookup(5);
        QCOMPARE(names(set), QStringLiteral("c.csv,b.lu"));
        // The first number stays within 0 to 9, and counts toward the ten.
        set.setFirstLookup(42);
        QCOMPARE(set.firstLookup(), 9);
        QVERIFY(!set.hasRoomForLookups());
    }

    void fileKinds() {
        using namespace DownloadSetRules;
        QCOMPARE(kindOf("/d/A.FPC"), FileKind::Application);
        QCOMPARE(kindOf("/d/x.fab"), FileKind::Format);
        QCOMPARE(kindOf("/d/x.Txt"), FileKind::Lookup);
        QCOMPARE(kindOf("/d.fpc/noext"), FileKind::Other);
        QVERIFY(isFormatName("L.FMT") && !isFormatName("l.fmtx"));
    }

    // One row per model, fields split by ";": the defaults offered on serial
    // and over TCP/IP (pass-through after "/"); the operator prompt; closing
    // packet, announced on serial, on TCP/IP; status first, lookups alone,
    // sequence (0 standard, 1 status first, 2 immediate command, 3 keypad;
    // "SENDING {SR}" shown on s serial, t TCP/IP), slots cleared. List texts,
    // choice prompts, TCP/IP rules and breaks are checked where they act.
    void models_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("row");
        const QString q41 = "9600,o,7,1 1 Q410/15/17;9600,o,7,1 1 Q410/15/17;"
                            "Set Printer to Data Transfer/Receive;{Q } 0 0;0 1 0 0";
        const QString ready = "9600,n,8,1 1 %1;-;%2;{S } 0 0;1 0 1%3 0";
        const QStringList rows{
            q41,
            q41,
            q41,
            "19200,n,8,1 2 K72e/9600,n,8,1 1 R3xx;19200,n,8,1 2 K72e/-;Set Keypad to Loading "
            "Script;{S } 1 1;0 1 3 1",
            "9600,n,8,1 1 Q412;9600,n,8,1 1 Q412;Set Printer to Online;{S } 1 0;1 1 0 0",
            ready.arg("T540", "Set Printer to Ready", "t"),
            "9600,n,8,1 1 R3xx;-;Set Printer to Print Mode Ready;{Q } 0 0;0 0 2 0",
            ready.arg("T523", "", "s")};
        const QStringList names = QString("Q410 Q415 Q417 K72e Q412 T540 R300 T523").split(' ');
        for (int index = 0; index < int(rows.size()); ++index)
            QTest::newRow(qPrintable(names[index])) << index << rows[index];
    }
    void models() {
        QFETCH(int, index);
        const PrinterModel *m = PrinterModels::find(index);
        QVERIFY(m && m->index == index);
        const auto offers = [&](int mode) {
            QStringList out;
            for (bool passThrough : {false, true}) {
                if (passThrough && !m->passThrough)
                    break;
                const LineDefaults *d = PrinterModels::defaultsToOffer(*m, passThrough, mode);
                out << (d ? QStringLiteral("%1 %2 %3")
                                .arg(d->settings)
                                .arg(d->handshaking)
                                .arg(d->family)
                          : QStringLiteral("-"));
            }
            return out.join('/');
        };
        const QStringList fields{
            offers(0), offers(1), PrinterModels::operatorPrompt(*m, false, 0),
            QStringList{m->closing.packet, QString::number(m->closing.announceOnSerial),
                        QString::number(m->closing.announceOnTcp)}
                .join(' '),
            QStringList{
                QString::number(m->asksStatusFirst), QString::number(m->lookupsWithoutApplication),
                QString::number(int(m->sequence)) + (m->statusAnnounce.onSerial ? "s" : "") +
                    (m->statusAnnounce.onTcp ? "t" : ""),
                QString::number(m->clearsLookupSlots)}
                .join(' ')};
        QTEST(fields.join(';'), "row");
    }

    // The keypad passing through over TCP/IP, and on neither link.
    void keypadPassThroughPrompts() {
        const PrinterModel &k = *PrinterModels::find(Printers::K72e);
        QCOMPARE(QString::fromLatin1(PrinterModels::operatorPrompt(k, true, 1)),
                 QStringLiteral("Set Printer to N Print Mode Ready"));
        QVERIFY(!PrinterModels::operatorPrompt(k, true, 2));
        QVERIFY(!PrinterModels::find(-1) && !PrinterModels::find(8));
    }
};

QTEST_GUILESS_MAIN(tst_Domain)
#include "tst_domain.moc"

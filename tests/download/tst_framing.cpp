#include "TransferRig.h"

#include <QTest>

namespace {
QByteArray allByteValuesButLineEnds() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) {
        if (i != '\r' && i != '\n' && i != '}')
            bytes.append(char(i));
    }
    return bytes;
}
} // namespace

// How an application file is cut into wire strings and where the printer's
// acknowledgement is awaited, seen through a fake link.
class tst_Framing : public QObject, protected TransferRig {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { startRig(); }
    void init() { resetTransfer(); }
    void cleanup() { QVERIFY(!TestFiles::anyOpenUnder(m_dir->path())); }

    void lineRules_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArrayList>("wire");

        QList<std::tuple<const char *, QByteArray, QByteArrayList>> rows = {
            {"packet not on the skip list", "{X,1}", {"SEND:{X,1}", "WAIT"}},
            {"reply awaited before the next line",
             "{X,1}\r\n{Y,2}",
             {"SEND:{X,1}", "WAIT", "SEND:{Y,2}", "WAIT"}},
            {"line without a closing brace", "{X,1", {"SEND:{X,1"}},
            {"one-line {F, packet", "{F,1,A}", {"SEND:{F,1,A}"}},
            {"lower-case head is not skipped", "{v 1}", {"SEND:{v 1}", "WAIT"}},
            {"{F without comma is not skipped", "{F 1}", {"SEND:{F 1}", "WAIT"}},
            {"{S} is not {S blank", "{S}", {"SEND:{S}", "WAIT"}},
            {"leading blank shifts the head", " {F,1}", {"SEND: {F,1}", "WAIT"}},
            {"{R0 record is acknowledged", "{R0_XXXX_A|B}", {"SEND:{R0_XXXX_A|B}", "WAIT"}},
            {"skip holds over lines without brace",
             "^MMT\n{X,1}\n{Y,2}",
             {"SEND:^MMT", "SEND:{X,1}", "SEND:{Y,2}", "WAIT"}},
            {"a line of 0 clears the skip",
             "^MMT\n0\n{X,1}",
             {"SEND:^MMT", "SEND:0", "SEND:{X,1}", "WAIT"}},
            {"only exactly 0 clears the skip",
             "^MMT\n00\n{X,1}\n{Y}",
             {"SEND:^MMT", "SEND:00", "SEND:{X,1}", "SEND:{Y}", "WAIT"}},
            {"bar line gets CR LF", "ABC|", {"SEND:ABC|\r\n"}},
            {"plain line gets no line end", "ABC\r\nDEF", {"SEND:ABC", "SEND:DEF"}},
            {"three-line record",
             "{RB_XXXX_\r\nDEF\r\nGH}\r\nIJ",
             {"SEND:{RB_XXXX_\r\n", "SEND:DEF\r\n", "SEND:GH}", "WAIT", "SEND:IJ"}},
            {"bar line inside a record",
             "{RE_\r\nA|\r\nB\r\n}",
             {"SEND:{RE_\r\n", "SEND:A|\r\n", "SEND:B\r\n", "SEND:}", "WAIT"}},
            {"empty line inside a record",
             "{RF_\r\n\r\n}",
             {"SEND:{RF_\r\n", "SEND:\r\n", "SEND:}", "WAIT"}},
            {"record head closing on its line",
             "{RC_XXXX_1}\r\nnext",
             {"SEND:{RC_XXXX_1}", "WAIT", "SEND:next"}},
            {"record head ending in a bar", "{RD_XXXX_A|\r\nB", {"SEND:{RD_XXXX_A|\r\n", "SEND:B"}},
            {"{R0 head is not multi-line",
             "{R0_XXXX_\r\nDEF\r\nGH}",
             {"SEND:{R0_XXXX_", "SEND:DEF", "SEND:GH}", "WAIT"}},
            {"{RL head is not multi-line",
             "{RL_\r\nDEF\r\nGH}",
             {"SEND:{RL_", "SEND:DEF", "SEND:GH}", "WAIT"}},
            {"{RA record is skipped",
             "{RA_XXXX_\r\nDEF\r\nGH}\r\n{X}",
             {"SEND:{RA_XXXX_", "SEND:DEF", "SEND:GH}", "SEND:{X}", "WAIT"}},
            {"two-line {F, packet",
             "{F,1|\r\n}\r\n{X}",
             {"SEND:{F,1|\r\n", "SEND:}", "SEND:{X}", "WAIT"}},
            {"skip head inside a record",
             "{RB_\r\n{F,1\r\n}",
             {"SEND:{RB_\r\n", "SEND:{F,1\r\n", "SEND:}"}},
            {"CR, LF and CR LF end lines",
             "{A1}\r{B2}\n{C3}\r\n{D4}",
             {"SEND:{A1}", "WAIT", "SEND:{B2}", "WAIT", "SEND:{C3}", "WAIT", "SEND:{D4}", "WAIT"}},
            {"CR CR LF holds an empty line", "A\r\r\nB", {"SEND:A", "SEND:", "SEND:B"}},
            {"final line end adds no line", "{X}\r\n", {"SEND:{X}", "WAIT"}},
            {"empty file", "", {}},
            {"CR LF across a read chunk",
             QByteArray(65535, 'a') + "\r\n{X}",
             {"SEND:" + QByteArray(65535, 'a'), "SEND:{X}", "WAIT"}},
            {"every other byte value unchanged",
             allByteValuesButLineEnds() + "}",
             {"SEND:" + allByteValuesButLineEnds() + "}", "WAIT"}},
        };
        // Each head of the skip list, then a packet that must be acknowledged.
        const char *const skipHeads[] = {"{RA", "{V ", "{F,", "{ F", "{G,", "{ G", "{W,",
                                         "{ W", "{A,", "{ A", "{I,", "{ I", "{S ", "^MM"};
        for (const char *head : skipHeads) {
            const QByteArray line = QByteArray(head) + "1}";
            rows.append({nullptr, line + "\r\n{X}", {"SEND:" + line, "SEND:{X}", "WAIT"}});
        }
        // Each multi-line record head.
        for (char id = 'B'; id <= 'K'; ++id) {
            const QByteArray head = QByteArray("{R") + id + "_XXXX_";
            rows.append({nullptr,
                         head + "\r\nL|\r\nM\r\n}",
                         {"SEND:" + head + "\r\n", "SEND:L|\r\n", "SEND:M\r\n", "SEND:}", "WAIT"}});
        }

        for (const auto &[name, file, wire] : rows) {
            const QByteArray title = name ? QByteArray(name) : "head " + file.left(4);
            QTest::newRow(title + " / serial") << 0 << file << wire;
            QTest::newRow(title + " / TCP") << 1 << file << onSocket(wire);
        }
    }

    void lineRules() {
        QFETCH(int, mode);
        QFETCH(QByteArray, file);
        QFETCH(QByteArrayList, wire);

        m_state->mode = qint16(mode);
        const qsizetype waits = wire.count("WAIT") + wire.count("SOCKWAIT");
        for (qsizetype i = 0; i < waits; ++i) {
            m_serial->script << Scripted{0, reply14('0')};
            m_socket->script << Scripted{0, reply14('0')};
        }
        m_transfer->sendApplication(appFile(file));
        QCOMPARE(m_log, wire);
        QVERIFY(!m_state->downloadError);
        QVERIFY(!m_state->abortRequested);
        // The other link stays untouched.
        QCOMPARE(mode == 0 ? m_socket->timeouts.size() : m_serial->timeouts.size(), 0);
    }

    void progressCountsLineCharacters_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("progress");
        // Line ends are not counted, so 100 only comes from the end step.
        QTest::newRow("two packets")
            << QByteArray("{V 1}\r\n{V 2}") << QList<int>{0, 42, 83, 100, 0};
        QTest::newRow("no line end") << QByteArray("{V 1}{V 2}") << QList<int>{0, 100, 0};
        QTest::newRow("empty file") << QByteArray() << QList<int>{0, 100, 0};
    }
    void progressCountsLineCharacters() {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, progress);
        m_transfer->sendApplication(appFile(file));
        QCOMPARE(m_view->progress, progress);
        QCOMPARE(m_view->statuses, QStringList{"Downloading app.fpc"});
        QCOMPARE(m_view->captions.last(), SettingsStore::applicationName());
    }

    void calcPercent_data() {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("before");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("percent");
        QTest::newRow("half rounds to even, down") << qint64(200) << qint64(0) << 1 << 0;
        QTest::newRow("half rounds to even, up") << qint64(200) << qint64(0) << 3 << 2;
        QTest::newRow("2.5 rounds to 2") << qint64(200) << qint64(0) << 5 << 2;
        QTest::newRow("just above half") << qint64(1000) << qint64(0) << 6 << 1;
        QTest::newRow("whole file") << qint64(12) << qint64(2) << 10 << 100;
        QTest::newRow("5 GB, halfway")
            << qint64(5'000'000'000) << qint64(2'499'999'990) << 10 << 50;
        QTest::newRow("5 GB, past 4 GiB")
            << qint64(5'000'000'000) << qint64(4'299'999'000) << 1000 << 86;
        QTest::newRow("5 GB, last line")
            << qint64(5'000'000'000) << qint64(4'999'999'990) << 10 << 100;
    }
    void calcPercent() {
        QFETCH(qint64, length);
        QFETCH(qint64, before);
        QFETCH(int, line);
        QFETCH(int, percent);
        m_state->fileLength = length;
        m_state->bytesSent = before;
        QCOMPARE(int(m_transfer->countProgress(QByteArray(line, 'x'))), percent);
        QCOMPARE(m_state->bytesSent, before + line);
    }

    // A run of fake lines through a 5 GB count never goes backwards or
    // beyond 100.
    void calcPercentClimbsThroughFiveGigabytes() {
        m_state->fileLength = 5'000'000'000;
        const QByteArray line(1'000'000, 'x');
        int last = 0;
        for (int i = 0; i < 5000; ++i) {
            const int p = m_transfer->countProgress(line);
            QVERIFY2(p >= last && p <= 100, qPrintable(QString::number(p)));
            last = p;
        }
        QCOMPARE(last, 100);
        QCOMPARE(m_state->bytesSent, qint64(5'000'000'000));
    }
};

QTEST_GUILESS_MAIN(tst_Framing)
#include "tst_framing.moc"

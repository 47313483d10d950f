#include "FaultPlanOf.h"
#include "PrinterSession.h"
#include "StatusReply.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using zelsim::Fault;
using zelsim::FaultPlan;
using zelsim::PrinterSession;
using Transport = zelsim::PrinterSession::Transport;
namespace StatusReply = zelsim::StatusReply;

Q_DECLARE_METATYPE(Transport)

namespace {

QByteArrayList repliesTo(const QByteArray &stream, const FaultPlan &plan = {},
                         Transport transport = Transport::Tcp, int *endRequests = nullptr) {
    PrinterSession session(QStringLiteral("test"), transport, plan);
    QSignalSpy sent(&session, &PrinterSession::transmit);
    QSignalSpy ended(&session, &PrinterSession::endRequested);
    session.receive(stream);
    if (endRequests)
        *endRequests = static_cast<int>(ended.count());
    QByteArrayList replies;
    for (const QList<QVariant> &signal : sent)
        replies << signal.at(0).toByteArray();
    return replies;
}

const QByteArray immediate = R"({I,E,"~123~044~034~124~125~126~094"|})";

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replyLayout();
    void whichPacketsAreAnswered_data();
    void whichPacketsAreAnswered();
    void packetsSplitAcrossReadsAreAnsweredOnce();
    void faults_data();
    void faults();
    void delayedReplyHoldsBackTheNext();
    void faultOptionSyntax_data();
    void faultOptionSyntax();
    void captureKeepsEveryByteValue();
};

void SessionTest::replyLayout() {
    const QByteArray reply = StatusReply::make(7);
    QCOMPARE(reply, QByteArray("{CP=0,P=007,0}"));
    QCOMPARE(reply.size(), StatusReply::Length);
    QCOMPARE(reply.at(StatusReply::StatusIndex), '0');
    QCOMPARE(StatusReply::make(1234, '4', '?'), QByteArray("{CP=4,P=234,?}"));
    const QByteArray noise = StatusReply::garbage();
    QCOMPARE(noise.size(), StatusReply::Length);
    QVERIFY(!QByteArray("0 =").contains(noise.at(StatusReply::StatusIndex)));
    QVERIFY(!noise.contains('\x11') && !noise.contains('\x13'));
}

void SessionTest::whichPacketsAreAnswered_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("replies");

    QTest::newRow("status request") << QByteArray("{SR}") << 1;
    QTest::newRow("ordinary packet") << QByteArray("{X,1,2}") << 1;
    QTest::newRow("lookup record") << QByteArray("{R0_XXXX_A|\r\nB|\r\n}\r\n") << 1;
    QTest::newRow("multi-line record") << QByteArray("{RB_XXXX_A\r\nB\r\n}") << 1;
    QTest::newRow("record past slot 9") << QByteArray("{R:_XXXX_A|\r\n}") << 1;
    QTest::newRow("packet with a C head") << QByteArray("{C,3}") << 1;
    QTest::newRow("three acknowledged packets") << QByteArray("{SR}{X,1}{Y,2}") << 3;
    for (const char *head : {"{RA_XXXX_", "{V ", "{F,", "{ F", "{G,", "{ G", "{W,", "{ W", "{A,",
                             "{ A", "{I,", "{ I"}) {
        QTest::addRow("silent head %s", head) << QByteArray(head) + "1,2|\r\nline|\r\n}" << 0;
    }
    QTest::newRow("closing packet S") << QByteArray("{S }") << 0;
    QTest::newRow("closing packet Q") << QByteArray("{Q }") << 0;
    QTest::newRow("slot clearing") << QByteArray("{C3}{C4}{C12}") << 0;
    QTest::newRow("keypad preparation") << immediate + "^MOi^PTX^PTS^PT2^PT2\x18" << 0;
    QTest::newRow("keypad reset") << QByteArray("^PR") << 0;
    QTest::newRow("keep-alives and line ends") << QByteArray("  \r\n ") << 0;
    QTest::newRow("unfinished packet") << QByteArray("{X,1") << 0;
    QTest::newRow("^MM skips the next packet") << QByteArray("^MMx{X,1}{X,2}") << 1;
    QTest::newRow("zero line cancels the skip") << QByteArray("^MMx0{X,1}") << 1;
    QTest::newRow("format among packets") << QByteArray("{SR}{F,1,A|\r\nT,1|\r\n}{X,1}{S }") << 2;
}

void SessionTest::whichPacketsAreAnswered() {
    QFETCH(QByteArray, stream);
    QFETCH(int, replies);
    const QByteArrayList sent = repliesTo(stream);
    QCOMPARE(sent.size(), replies);
    for (int i = 0; i < sent.size(); ++i)
        QCOMPARE(sent.at(i), StatusReply::make(i + 1));
}

void SessionTest::packetsSplitAcrossReadsAreAnsweredOnce() {
    PrinterSession session(QStringLiteral("test"), Transport::Pty, {});
    QSignalSpy sent(&session, &PrinterSession::transmit);
    for (const QByteArray piece : {"{S", "R}{X", ",1", "}{F,1|\r", "\n}", " {Y}"})
        session.receive(piece);
    QCOMPARE(sent.count(), 3);
    QCOMPARE(sent.at(2).at(0).toByteArray(), StatusReply::make(3));
}

void SessionTest::faults_data() {
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::addColumn<int>("endRequests");

    const QByteArray r1 = StatusReply::make(1), r2 = StatusReply::make(2),
                     r3 = StatusReply::make(3);
    const auto tcp = Transport::Tcp, pty = Transport::Pty;
    QTest::newRow("none") << QStringList() << tcp << QByteArrayList{r1, r2, r3} << 0;
    QTest::newRow("silent@2") << QStringList{"silent@2"} << tcp << QByteArrayList{r1, r3} << 0;
    QTest::newRow("silent@2+") << QStringList{"silent@2+"} << tcp << QByteArrayList{r1} << 0;
    QTest::newRow("silent") << QStringList{"silent"} << tcp << QByteArrayList{} << 0;
    QTest::newRow("error@2") << QStringList{"error@2"} << tcp
                             << QByteArrayList{r1, "{CP=4,P=002,?}", r3} << 0;
    QTest::newRow("cp4@2") << QStringList{"cp4@2"} << pty
                           << QByteArrayList{r1, "{CP=4,P=002,0}", r3} << 0;
    QTest::newRow("short@2") << QStringList{"short@2"} << pty
                             << QByteArrayList{r1, "{CP=0,P=00", r3} << 0;
    QTest::newRow("long@2") << QStringList{"long@2"} << tcp
                            << QByteArrayList{r1, "{CP=0,P=002,0} READY", r3} << 0;
    QTest::newRow("garbage@2") << QStringList{"garbage@2"} << tcp
                               << QByteArrayList{r1, StatusReply::garbage(), r3} << 0;
    QTest::newRow("garbage@2=3") << QStringList{"garbage@2=3"} << pty
                                 << QByteArrayList{r1, StatusReply::garbage(3), r3} << 0;
    QTest::newRow("short error") << QStringList{"error@1", "short@1"} << tcp
                                 << QByteArrayList{"{CP=4,P=00", r2, r3} << 0;
    QTest::newRow("drop@2 over TCP") << QStringList{"drop@2"} << tcp << QByteArrayList{r1} << 1;
    QTest::newRow("drop@2 leaves a terminal")
        << QStringList{"drop@2"} << pty << QByteArrayList{r1, r2, r3} << 0;
    QTest::newRow("hangup@2 on a terminal")
        << QStringList{"hangup@2"} << pty << QByteArrayList{r1} << 1;
    QTest::newRow("hangup@2 leaves TCP")
        << QStringList{"hangup@2"} << tcp << QByteArrayList{r1, r2, r3} << 0;
    QTest::newRow("refuse does not touch replies")
        << QStringList{"refuse"} << tcp << QByteArrayList{r1, r2, r3} << 0;
}

void SessionTest::faults() {
    QFETCH(QStringList, faults);
    QFETCH(Transport, transport);
    QFETCH(QByteArrayList, expected);
    QFETCH(int, endRequests);
    int ends = 0;
    QCOMPARE(repliesTo("{SR}{X,1}{F,1|}{X,2}", planOf(faults), transport, &ends), expected);
    QCOMPARE(ends, endRequests);
}

void SessionTest::delayedReplyHoldsBackTheNext() {
    PrinterSession session(QStringLiteral("test"), Transport::Tcp, planOf({"delay@1=200"}));
    QSignalSpy sent(&session, &PrinterSession::transmit);
    QElapsedTimer clock;
    clock.start();
    session.receive("{SR}{X,1}");
    QCOMPARE(sent.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(sent.count(), 2, 10000);
    QVERIFY(clock.elapsed() >= 200);
    QCOMPARE(sent.at(0).at(0).toByteArray(), StatusReply::make(1));
    QCOMPARE(sent.at(1).at(0).toByteArray(), StatusReply::make(2));
}

void SessionTest::faultOptionSyntax_data() {
    QTest::addColumn<QString>("faultText");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("value");

    const int all = Fault::Unbounded;
    auto kind = [](Fault::Kind k) {
        return static_cast<int>(k);
    };
    QTest::newRow("one packet") << "silent@3" << true << kind(Fault::Kind::Silent) << 3 << 3 << 0;
    QTest::newRow("from N on") << "cp4@4+" << true << kind(Fault::Kind::Cp4) << 4 << all << 0;
    QTest::newRow("every packet") << "error" << true << kind(Fault::Kind::PacketError) << 1 << all
                                  << 0;
    QTest::newRow("delay") << "delay@2=1500" << true << kind(Fault::Kind::Delay) << 2 << 2 << 1500;
    QTest::newRow("garbage default")
        << "garbage@1" << true << kind(Fault::Kind::Garbage) << 1 << 1 << 14;
    QTest::newRow("upper case") << "DROP@2" << true << kind(Fault::Kind::Drop) << 2 << 2 << 0;
    QTest::newRow("delay without time") << "delay@2" << false << 0 << 0 << 0 << 0;
    QTest::newRow("value where none fits") << "silent=3" << false << 0 << 0 << 0 << 0;
    QTest::newRow("unknown kind") << "explode@1" << false << 0 << 0 << 0 << 0;
    QTest::newRow("packet zero") << "silent@0" << false << 0 << 0 << 0 << 0;
    QTest::newRow("not a number") << "error@x" << false << 0 << 0 << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << 0 << 0 << 0;
}

void SessionTest::faultOptionSyntax() {
    QFETCH(QString, faultText);
    QFETCH(bool, valid);
    QString error;
    const std::optional<Fault> fault = Fault::parse(faultText, &error);
    QCOMPARE(fault.has_value(), valid);
    if (!valid) {
        QVERIFY(error.contains(faultText));
        return;
    }
    QTEST(static_cast<int>(fault->kind), "kind");
    QTEST(fault->first, "first");
    QTEST(fault->last, "last");
    QTEST(fault->value, "value");
}

void SessionTest::captureKeepsEveryByteValue() {
    QByteArray stream;
    for (int round = 0; round < 2; ++round) {
        for (int value = 0; value < 256; ++value)
            stream += static_cast<char>(round == 0 ? value : 255 - value);
    }
    QBuffer capture;
    capture.open(QIODevice::WriteOnly);
    PrinterSession session(QStringLiteral("test"), Transport::Pty, planOf({"hangup@1"}));
    session.setCapture(&capture);
    for (qsizetype at = 0, step = 1; at < stream.size(); at += step++)
        session.receive(stream.mid(at, step));
    QCOMPARE(capture.data(), stream);
}

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_zelsim_session.moc"

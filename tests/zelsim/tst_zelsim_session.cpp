#include "FaultPlan.h"
#include "PrinterSession.h"
#include "StatusReply.h"

#include <QTest>

using namespace zelsim;

class SessionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replyLayout() {
        QCOMPARE(StatusReply::make(1234, '4', '?'), QByteArray("{CP=4,P=234,?}"));
        const QByteArray noise = StatusReply::garbage();
        QCOMPARE(noise.size(), 14);
        // No valid status, and no XON or XOFF, which would stall a client using software flow
        // control.
        QVERIFY(!QByteArray("0?").contains(noise.at(12)));
        QVERIFY(!noise.contains('\x11') && !noise.contains('\x13'));
    }

    void whichPacketsAreAnswered_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("repliesOverTcp");
        QTest::addColumn<int>("repliesOverPty");

        QTest::newRow("status request, packets, records")
            << QByteArray(
                   "{SR}{X,1,2}{C,3}{R0_XXXX_A|\r\nB|\r\n}\r\n{RB_XXXX_A\r\n}{R:_XXXX_A|\r\n}")
            << 6 << 6;
        // Over TCP a reply nobody waits for would be taken for the next one, so every "{RA" is
        // silent.
        QTest::newRow("lookup record 10") << QByteArray("{RA_XXXX_a|\r\nb|\r\n}") << 0 << 1;
        for (const char *head : {"{RA,", "{V ", "{F,", "{ F", "{G,", "{ G", "{W,", "{ W", "{A,",
                                 "{ A", "{I,", "{ I"}) {
            QTest::addRow("silent head %s", head)
                << QByteArray(head) + "1,2|\r\nline|\r\n}" << 0 << 0;
        }
        QTest::newRow("closing and slot-clearing packets, keypad commands, unfinished packet")
            << QByteArray("{X,1{S }{Q }{C3}{C12}^MOi^PTX^PT2\x18^PR  \r\n ") << 0 << 0;
        QTest::newRow("^MM skips the next packet, a zero line cancels the skip")
            << QByteArray("^MMx{X,1}{X,2}^MMx0{X,3}") << 2 << 2;
    }

    void whichPacketsAreAnswered() {
        QFETCH(QByteArray, stream);
        QFETCH(int, repliesOverTcp);
        QFETCH(int, repliesOverPty);
        for (const auto &[transport, replies] : {std::pair{Transport::Tcp, repliesOverTcp},
                                                 std::pair{Transport::Pty, repliesOverPty}}) {
            PrinterSession session(QStringLiteral("test"), transport, FaultPlan{});
            QByteArray wire, expected;
            connect(&session, &PrinterSession::transmit, &session,
                    [&wire](const QByteArray &bytes) { wire += bytes; });
            // Byte by byte, so a packet split across reads is answered once.
            for (const char c : stream)
                session.receive(QByteArray(1, c));
            for (int number = 1; number <= replies; ++number)
                expected += StatusReply::make(number);
            QCOMPARE(wire, expected);
        }
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_zelsim_session.moc"

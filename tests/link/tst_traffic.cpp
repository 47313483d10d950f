#include "FakeView.h"
#include "PtyPair.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"
#include "TrafficRecorder.h"

#include <QBuffer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <poll.h>

namespace {
using Direction = TrafficRow::Direction;

QByteArray raw(const TrafficRecorder &trace, std::optional<Direction> only = {}) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    return trace.writeRaw(out, only) ? out.data() : "write failed";
}

// Each line without its time, which no test can know.
QStringList lines(const TrafficRecorder &trace) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    trace.writeText(out);
    return QString::fromUtf8(out.data())
        .remove(QRegularExpression("(?m)^[^\t\n]*\t"))
        .split('\n', Qt::SkipEmptyParts);
}
} // namespace

// The recorder's bounds, its rows as text, and the two links recording into it.
class tst_Traffic : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bounds_data() {
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QList<int>>("sizes"); // packet n is that many letters 'a' + n
        // Rows dropped, the number the next row gets, the bytes kept.
        QTest::addColumn<QString>("kept");
        QTest::newRow("row bound") << 3 << 1000 << QList<int>{1, 2, 3, 4, 5} << "2 5 cccddddeeeee";
        // The third packet's bytes wrap round the end of the ring.
        QTest::newRow("byte bound") << 100 << 10 << QList<int>{4, 4, 4, 4} << "2 4 ccccdddd";
        QTest::newRow("one byte over") << 100 << 10 << QList<int>{3, 8} << "1 2 bbbbbbbb";
        QTest::newRow("larger than the ring") << 10 << 8 << QList<int>{3, 12} << "1 2 bbbbbbbb";
    }
    void bounds() {
        QFETCH(int, maxRows);
        QFETCH(int, maxBytes);
        QFETCH(QList<int>, sizes);
        TrafficRecorder trace(maxRows, maxBytes);
        for (int n = 0; n < sizes.size(); ++n)
            trace.recordSent(trace.linkId("Com1"), QByteArray(sizes[n], char('a' + n)));
        QTEST(QString("%1 %2 ").arg(trace.dropped()).arg(trace.endNumber()) + raw(trace), "kept");
        // A packet too large for the ring keeps its head.
        if (sizes.last() > maxBytes)
            QVERIFY(lines(trace).last().endsWith("bbbbbbbb (4 more bytes not kept)"));
    }

    // A reply's row, by the wait's result and the bytes.
    void replies_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("CP=4") << 0 << QByteArray("{CP=4,P=001,0}") << "CP=4";
        QTest::newRow("nothing in time") << -1 << QByteArray() << "time-out";
        QTest::newRow("part in time") << -1 << QByteArray("{CP=0,P=00") << "short";
        QTest::newRow("part, then the line closed") << -2 << QByteArray("{CP=0") << "short";
        QTest::newRow("too long") << -3 << QByteArray("{CP=0,P=001,0}!!") << "more than expected";
    }
    void replies() {
        QFETCH(int, result);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, verdict);
        TrafficRecorder trace;
        trace.recordReply(trace.linkId("Com1"), bytes, qint16(result));
        QCOMPARE(lines(trace), QStringList{"from printer\tCom1\t" + verdict + '\t' + bytes});
        QCOMPARE(raw(trace), bytes);
    }

    // Keep-alive blanks in a row make one row; the serial link records what
    // came when nobody waited and keeps a reply that came before the wait;
    // both name their link; a row shows unprintable bytes escaped.
    void links() {
        PtyPair pty;
        qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
        SharedState state;
        state.ipAddress = "127.0.0.1";
        FakeView view;
        SerialPortControl port;
        SerialLink serial(state, port, view);
        SocketControl control;
        SocketLink socket(state, view, control);
        TrafficRecorder trace;
        serial.setTrafficRecorder(&trace);
        socket.setTrafficRecorder(&trace);

        serial.configurePort();
        // Strays read by the port and strays still in the driver are both shown.
        pty.write("LA");
        QTRY_COMPARE(port.inBufferCount(), qint64(2));
        pty.write("TE");
        pollfd held{pty.slaveFd(), POLLIN, 0};
        QCOMPARE(::poll(&held, 1, 10000), 1);
        serial.send("{SR}");
        pty.write("{CP=0,P=001,0}");
        QTRY_COMPARE(port.inBufferCount(), qint64(14));
        QByteArray reply;
        float timeout = 1000.0f;
        QCOMPARE(serial.receive(reply, 14, timeout), qint16(0));

        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        state.ipPort = server.serverPort();
        QVERIFY(socket.connectToPrinter());
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *printer = server.nextPendingConnection();
        socket.findChild<QTimer *>("keepAliveTimer")->setInterval(5);
        socket.setKeepAlive(true);
        QByteArray wire;
        QTRY_VERIFY((wire += printer->readAll()).size() >= 3);
        socket.setKeepAlive(false);
        timeout = 10.0f;
        const QByteArray escapes("^PT2\x18{A|\r\n}\t\\\x01\x7f\xe9", 16);
        socket.send(escapes, timeout);
        QTRY_VERIFY((wire += printer->readAll()).endsWith(escapes));

        const QString link = "to printer\t127.0.0.1:" + QString::number(state.ipPort) + "\t\t";
        QCOMPARE(
            lines(trace),
            (QStringList{"from printer\tCom1\tnot awaited\tLATE", "to printer\tCom1\t\t{SR}",
                         "from printer\tCom1\taccepted\t{CP=0,P=001,0}",
                         link + '(' + QString::number(wire.size() - 16) + " keep-alive blanks)",
                         link + "^PT2<CAN>{A|\\r\\n}\\t\\\\\\x01\\x7fé"}));
        QCOMPARE(raw(trace, Direction::ToPrinter), "{SR}" + wire);
        // What the serial link put on its line and showed.
        QCOMPARE(pty.readAvailable() + '|' + reply + '|' + view.current.toUtf8() + '|' +
                     (state.downloadError ? "error" : ""),
                 "{SR}|{CP=0,P=001,0}|Status - -99|");
    }
};

QTEST_GUILESS_MAIN(tst_Traffic)
#include "tst_traffic.moc"

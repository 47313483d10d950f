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
    QStringList rows = QString::fromUtf8(out.data()).split('\n', Qt::SkipEmptyParts);
    for (QString &row : rows)
        row = row.section('\t', 1);
    return rows;
}
} // namespace

// The recorder's bounds, its rows as text, and the two links recording into it.
class tst_Traffic : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bounds_data() {
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QList<int>>("sizes"); // packet n is n+1 letters 'a' + n
        QTest::addColumn<int>("dropped");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("within both") << 5 << 100 << QList<int>{3, 2} << 0 << QByteArray("aaabb");
        QTest::newRow("row bound")
            << 3 << 1000 << QList<int>{1, 2, 3, 4, 5} << 2 << QByteArray("cccddddeeeee");
        // The third packet's bytes wrap round the end of the ring.
        QTest::newRow("byte bound")
            << 100 << 10 << QList<int>{4, 4, 4, 4} << 2 << QByteArray("ccccdddd");
        QTest::newRow("one byte over")
            << 100 << 10 << QList<int>{3, 8} << 1 << QByteArray("bbbbbbbb");
        QTest::newRow("a packet larger than the ring keeps its head")
            << 10 << 8 << QList<int>{3, 12} << 1 << QByteArray("bbbbbbbb");
    }
    void bounds() {
        QFETCH(int, maxRows);
        QFETCH(int, maxBytes);
        QFETCH(QList<int>, sizes);
        TrafficRecorder trace(maxRows, maxBytes);
        const quint8 link = trace.linkId("Com1");
        for (int n = 0; n < sizes.size(); ++n)
            trace.recordSent(link, QByteArray(sizes[n], char('a' + n)));
        QTEST(int(trace.dropped()), "dropped");
        QCOMPARE(trace.endNumber(), quint64(sizes.size()));
        QTEST(raw(trace), "kept");
        if (sizes.last() > maxBytes)
            QVERIFY(lines(trace).last().endsWith("bbbbbbbb (4 more bytes not kept)"));
    }

    void rows_data() {
        QTest::addColumn<int>("result"); // of the reply wait; 1: sent
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("line");
        const auto reply = [](const char *name, int result, const QByteArray &bytes,
                              const QString &verdict) {
            QTest::newRow(name) << result << bytes
                                << "from printer\tCom1\t" + verdict + '\t' + bytes;
        };
        reply("accepted", 0, "{CP=0,P=001,0}", "accepted");
        reply("refused", 0, "{CP=4,P=001,?}", "packet error");
        reply("CP=4", 0, "{CP=4,P=001,0}", "CP=4");
        reply("nothing in time", -1, "", "time-out");
        reply("part in time", -1, "{CP=0,P=00", "short");
        reply("part, then the line closed", -2, "{CP=0", "short");
        reply("more than awaited", -3, "{CP=0,P=001,0} READY", "more than expected");
        QTest::newRow("escapes") << 1 << QByteArray("^PT2\x18{A|\r\n}\t\\\x01\x7f\xe9", 16)
                                 << "to printer\tCom1\t\t^PT2<CAN>{A|\\r\\n}\\t\\\\\\x01\\x7fé";
    }
    void rows() {
        QFETCH(int, result);
        QFETCH(QByteArray, bytes);
        TrafficRecorder trace;
        const quint8 link = trace.linkId("Com1");
        if (result == 1)
            trace.recordSent(link, bytes);
        else
            trace.recordReply(link, bytes, qint16(result));
        QCOMPARE(lines(trace).size(), 1);
        QTEST(lines(trace).value(0), "line");
        QCOMPARE(raw(trace), bytes);
    }

    // Keep-alive blanks in a row make one row; the serial link records what
    // came when nobody waited; both name their link.
    void links() {
        PtyPair pty;
        qputenv("ZELDL_COM3", pty.slavePath().toLocal8Bit());
        SharedState state;
        state.comPort = 3;
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
        pty.write("LATE");
        QTRY_COMPARE(port.inBufferCount(), qint64(4));
        serial.send("{SR}");
        pty.write("{CP=0,P=001,0}");
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
        socket.send("{XA,1}", timeout);
        QTRY_VERIFY((wire += printer->readAll()).endsWith("{XA,1}"));

        const QString port9 = "127.0.0.1:" + QString::number(server.serverPort());
        const QString blanks = QString::number(wire.size() - 6);
        QCOMPARE(lines(trace),
                 (QStringList{"from printer\tCom3\tnot awaited\tLATE", "to printer\tCom3\t\t{SR}",
                              "from printer\tCom3\taccepted\t{CP=0,P=001,0}",
                              "to printer\t" + port9 + "\t\t(" + blanks + " keep-alive blanks)",
                              "to printer\t" + port9 + "\t\t{XA,1}"}));
        QCOMPARE(raw(trace, Direction::ToPrinter), "{SR}" + wire);
    }
};

QTEST_GUILESS_MAIN(tst_Traffic)
#include "tst_traffic.moc"

#include "DownloadSetPanel.h"
#include "TrafficRecorder.h"
#include "TrafficText.h"
#include "WindowRig.h"
#include "ZelsimPrinter.h"

#include <QBuffer>

// Whole downloads to the virtual printer over both links: the trace holds
// every byte the printer received, each reply with its verdict, and names
// the link.
class tst_Trace : public QObject, protected WindowRig {
    Q_OBJECT

private Q_SLOTS:
    void init() { resetWindowRig(); }
    void cleanup() { closeWindowRig(); }

    void download_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QStringList>("verdicts"); // of the reply waits, in order
        QTest::addColumn<QByteArray>("replies");   // every byte the printer sent
        const QString ok = "accepted";
        QTest::newRow("serial, whole, a long reply")
            << 0 << QStringList{"long@1"} << QStringList{ok, ok, ok, ok}
            << QByteArray("{CP=0,P=001,0} READY{CP=0,P=002,0}{CP=0,P=003,0}{CP=0,P=004,0}");
        QTest::newRow("TCP/IP, whole, a long reply")
            << 1 << QStringList{"long@1"} << QStringList{"more than expected", ok, ok, ok}
            << QByteArray("{CP=0,P=001,0} READY{CP=0,P=002,0}{CP=0,P=003,0}{CP=0,P=004,0}");
        QTest::newRow("serial, packet error")
            << 0 << QStringList{"error@2"} << QStringList{ok, "packet error"}
            << QByteArray("{CP=0,P=001,0}{CP=4,P=002,?}");
        QTest::newRow("serial, short reply")
            << 0 << QStringList{"short@1"} << QStringList{"short"} << QByteArray("{CP=0,P=00");
        // Over TCP/IP a late printer gets a second wait, then the transfer goes on.
        QTest::newRow("TCP/IP, time-out, then CP=4")
            << 1 << QStringList{"silent@1", "cp4@2"} << QStringList{"time-out", "time-out", "CP=4"}
            << QByteArray("{CP=4,P=002,0}");
    }
    void download() {
        QFETCH(int, mode);
        QFETCH(QStringList, faults);
        QStringList options{"--serial", "--tcp", "127.0.0.1:0"};
        for (const QString &fault : faults)
            options << "--fault" << fault;
        ZelsimPrinter printer(options);
        QVERIFY(!printer.tty.isEmpty() && !printer.port.isEmpty());
        qputenv("ZELDL_COM1", printer.tty.toLocal8Bit());
        store(QString("Printer=6;Mode=%1;IPAddress=127.0.0.1;IPPort=%2;NeverShowDefault=True;"
                      "LLU=True")
                  .arg(mode)
                  .arg(printer.port));
        load();
        m_window->downloadSet().takeApplication(
            makeFile("app.fpc", "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n{XC,3}\r\n"));
        m_window->downloadSet().takeLookups({makeFile("t1.txt", "A\r\nB|\r\n")});
        m_window->ui().downloadButton->click();
        QTRY_VERIFY(m_window->ui().downloadButton->isEnabled());

        const TrafficRecorder &trace = m_window->trafficRecorder();
        QBuffer sent;
        sent.open(QIODevice::WriteOnly);
        QVERIFY(trace.writeRaw(sent, TrafficRow::Direction::ToPrinter));
        QVERIFY(sent.data().endsWith(faults.contains("long@1") ? "{S }" : "}"));
        QTRY_COMPARE(printer.received(), sent.data());

        QStringList verdicts;
        QByteArray replies;
        const QString link = mode == 0 ? "Com1" : "127.0.0.1:" + printer.port;
        qint64 time = 0;
        for (quint64 n = trace.firstNumber(); n < trace.endNumber(); ++n) {
            const TrafficRow &row = trace.row(n);
            QCOMPARE(trace.linkName(row.link), link);
            QVERIFY(row.timeUs >= time);
            time = row.timeUs;
            if (row.kind == TrafficRow::Kind::Reply)
                verdicts << TrafficText::verdict(row);
            if (row.direction() == TrafficRow::Direction::FromPrinter)
                replies += trace.bytes(row);
        }
        QTEST(verdicts, "verdicts");
        QTEST(replies, "replies");
    }
};

QTEST_MAIN(tst_Trace)
#include "tst_trace.moc"

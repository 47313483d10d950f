#include "LineEventMonitor.h"
#include "PtyPair.h"
#include "SerialDeviceMap.h"
#include "SerialPortControl.h"

#include <QTest>

#include <termios.h>

// Which device stands behind a port number, and why it cannot be opened.
class tst_SerialPort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // ZELDL_COM<n> when set, else Com1-32 ttyS, 33-64 ttyUSB, 65-96 ttyACM,
    // 97-128 ttyAMA.
    void deviceOfComN() {
        for (const auto &[port, override, device] : {std::tuple{1, "", "/dev/ttyS0"},
                                                     {33, "", "/dev/ttyUSB0"},
                                                     {128, "", "/dev/ttyAMA31"},
                                                     {129, "/tmp/x", ""},
                                                     {40, "/tmp/x", "/tmp/x"}}) {
            qputenv("ZELDL_COM" + QByteArray::number(port), override);
            QCOMPARE(SerialDeviceMap::devicePath(port), QString(device));
        }
    }

    // Why a device cannot be opened: it is no serial line, it may not be
    // opened, or another port holds it (no device named: a pseudo-terminal).
    void openError_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("error");
        QTest::newRow("not a serial line") << "/dev/null" << 8002;
        // Refuses opening for writing, even to root.
        QTest::newRow("permission") << "/sys/kernel/uevent_seqnum" << 8012;
        QTest::newRow("held by another port") << "" << 8005;
    }
    void openError() {
        QFETCH(QString, device);
        PtyPair pty;
        qputenv("ZELDL_COM1", (device.isEmpty() ? pty.slavePath() : device).toLocal8Bit());
        SerialPortControl other;
        if (device.isEmpty())
            QCOMPARE(other.open(), 0);
        SerialPortControl port;
        QTEST(port.open(), "error");
        QVERIFY(!port.isOpen());
    }

    // The line as the device sees it: speed, stop bits, then Xon/Xoff and
    // RTS/CTS (handshaking 0 none, 1 Xon/Xoff, 2 RTS/CTS,
    // 3 both), whether set before the port opens or while it is open; a
    // restart on any character is never allowed. (A pseudo-terminal keeps
    // neither parity nor data bits.)
    void lineSettings_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("handshaking");
        QTest::addColumn<QString>("line");
        QTest::newRow("none") << "9600,N,8,1" << 0 << "9600 1 ..";
        QTest::newRow("Xon/Xoff") << "19200,e,7,2" << 1 << "19200 2 X.";
        QTest::newRow("RTS/CTS") << "4800,O,8,1" << 2 << "4800 1 .R";
        QTest::newRow("both") << "9600,M,7,1" << 3 << "9600 1 XR";
    }
    void lineSettings() {
        const QMap<speed_t, int> bauds{{B4800, 4800}, {B9600, 9600}, {B19200, 19200}};
        QFETCH(QString, settings);
        QFETCH(int, handshaking);
        for (const bool whileOpen : {false, true}) {
            PtyPair pty;
            qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
            SerialPortControl port;
            port.setHandshaking(handshaking);
            if (!whileOpen)
                QVERIFY(port.setSettings(settings));
            QCOMPARE(port.open(), 0);
            if (whileOpen)
                QVERIFY(port.setSettings(settings));
            termios tio{};
            QCOMPARE(tcgetattr(pty.slaveFd(), &tio), 0);
            QTEST(QStringLiteral("%1 %2 %3%4")
                      .arg(bauds.value(cfgetospeed(&tio)))
                      .arg(tio.c_cflag & CSTOPB ? 2 : 1)
                      .arg(tio.c_iflag & IXON ? 'X' : '.')
                      .arg(tio.c_cflag & CRTSCTS ? 'R' : '.'),
                  "line");
            QVERIFY(!(tio.c_iflag & IXANY));
        }
    }

    // The driver's counters become line events, each once; the counts found
    // when watching starts are not events.
    void lineEvents() {
        struct Counters : LineCounterSource {
            LineCounters now{3, 0, 0, 0, 0};
            std::optional<LineCounters> read() override { return now; }
        };
        auto source = std::make_unique<Counters>();
        Counters &counters = *source;
        LineEventMonitor monitor;
        QList<int> codes;
        connect(&monitor, &LineEventMonitor::lineEvent, this, [&](int code) { codes << code; });
        monitor.start(std::move(source));
        monitor.poll();
        counters.now = {4, 1, 1, 1, 1};
        monitor.poll();
        monitor.poll();
        QCOMPARE(codes, (QList<int>{1001, 1004, 1006, 1008, 1009}));
        // A terminal's driver keeps no counters: nothing to look at.
        PtyPair pty;
        monitor.start(std::make_unique<DriverCounterSource>(pty.slaveFd()));
        QVERIFY(!monitor.isRunning());
    }
};

QTEST_GUILESS_MAIN(tst_SerialPort)
#include "tst_serialport.moc"

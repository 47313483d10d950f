#include "CpuTime.h"
#include "PtyPair.h"
#include "SerialNative.h"
#include "SerialPortControl.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <sys/file.h>
#include <termios.h>

// The serial port adapter on a real pseudo-terminal: line settings as the
// other side sees them, error numbers from real causes, a vanishing device.
class tst_SerialPort : public QObject {
    Q_OBJECT

    static termios attributes(const PtyPair &pty) {
        termios tio{};
        tcgetattr(pty.slaveFd(), &tio);
        return tio;
    }

    static bool ptyKeepsCharacterFormat() {
        PtyPair probe;
        termios tio = attributes(probe);
        tio.c_cflag = (tio.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB;
        tcsetattr(probe.slaveFd(), TCSANOW, &tio);
        tio = attributes(probe);
        return (tio.c_cflag & CSIZE) == CS7 && (tio.c_cflag & PARENB);
    }

private Q_SLOTS:
    void lineSettingsReadBack_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("parity");
        QTest::addColumn<bool>("odd");
        QTest::addColumn<bool>("twoStop");
        QTest::newRow("default") << "9600,N,8,1" << int(B9600) << int(CS8) << false << false
                                 << false;
        QTest::newRow("Q410") << "9600,o,7,1" << int(B9600) << int(CS7) << true << true << false;
        QTest::newRow("K72e") << "19200,n,8,1" << int(B19200) << int(CS8) << false << false
                              << false;
        QTest::newRow("even two stop")
            << "38400,E,7,2" << int(B38400) << int(CS7) << true << false << true;
    }
    void lineSettingsReadBack() {
        QFETCH(QString, settings);
        QFETCH(int, baud);
        QFETCH(int, size);
        QFETCH(bool, parity);
        QFETCH(bool, odd);
        QFETCH(bool, twoStop);
        PtyPair pty;
        QVERIFY(pty.isValid());
        qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
        SerialPortControl port;
        QVERIFY(port.setSettings(settings));
        QCOMPARE(port.open(), 0);
        const termios tio = attributes(pty);
        QCOMPARE(int(cfgetospeed(&tio)), baud);
        QCOMPARE(bool(tio.c_cflag & CSTOPB), twoStop);
        // Linux pseudo-terminals always report 8 bits without parity; a real
        // serial driver keeps what was set.
        if (!ptyKeepsCharacterFormat())
            return;
        QCOMPARE(int(tio.c_cflag & CSIZE), size);
        QCOMPARE(bool(tio.c_cflag & PARENB), parity);
        if (parity)
            QCOMPARE(bool(tio.c_cflag & PARODD), odd);
    }

    void badSettingsAreRefusedAndKept() {
        SerialPortControl port;
        QVERIFY(port.setSettings("19200,e,7,2"));
        for (const char *bad : {"9600,N,8", "9600,X,8,1", "9600,N,6,1", "9600,N,8,3", "fast,N,8,1"})
            QVERIFY2(!port.setSettings(bad), bad);
        QCOMPARE(port.settings(), QString("19200,e,7,2"));
        QVERIFY(!port.setHandshaking(4));
        QVERIFY(!port.setCommPort(0));
        QVERIFY(!port.setCommPort(129));
    }

    void handshakingFlags_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("xonxoff");
        QTest::addColumn<bool>("rtscts");
        QTest::newRow("none") << 0 << false << false;
        QTest::newRow("Xon/Xoff") << 1 << true << false;
        QTest::newRow("RTS/CTS") << 2 << false << true;
        QTest::newRow("both") << 3 << true << true;
    }
    void handshakingFlags() {
        QFETCH(int, code);
        QFETCH(bool, xonxoff);
        QFETCH(bool, rtscts);
        PtyPair pty;
        qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
        SerialPortControl port;
        QVERIFY(port.setHandshaking(code));
        QCOMPARE(port.open(), 0);
        termios tio = attributes(pty);
        QCOMPARE(bool(tio.c_iflag & IXON), xonxoff);
        QCOMPARE(bool(tio.c_iflag & IXOFF), xonxoff);
        QCOMPARE(bool(tio.c_cflag & CRTSCTS), rtscts);
        // A status reply after an XOFF must not restart the output.
        QVERIFY(!(tio.c_iflag & IXANY));

        // Changing it while open applies at once, with the same care.
        QVERIFY(port.setHandshaking(3 - code));
        tio = attributes(pty);
        QCOMPARE(bool(tio.c_iflag & IXON), !xonxoff);
        QCOMPARE(bool(tio.c_cflag & CRTSCTS), !rtscts);
        QVERIFY(!(tio.c_iflag & IXANY));
    }

    void errorNumbersFromRealCauses() {
        SerialPortControl port;
        qputenv("ZELDL_COM1", "/dev/zeldl-no-such-device");
        QCOMPARE(port.open(), 8002);
        qputenv("ZELDL_COM1", "/dev/null"); // not a serial line
        QCOMPARE(port.open(), 8002);

        PtyPair pty;
        qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
        // A terminal program holding the port.
        QCOMPARE(flock(pty.slaveFd(), LOCK_EX | LOCK_NB), 0);
        QCOMPARE(port.open(), 8005);
        QVERIFY(!port.isOpen());
        flock(pty.slaveFd(), LOCK_UN);
        QCOMPARE(port.open(), 0);
        // And while we hold it, another program sees it busy.
        QCOMPARE(flock(pty.slaveFd(), LOCK_EX | LOCK_NB), -1);
        SerialPortControl other;
        QCOMPARE(other.open(), 8005);
        port.close();
        QCOMPARE(other.open(), 0);
    }

    void vanishingDeviceClosesThePortWithoutSpinning() {
        PtyPair pty;
        qputenv("ZELDL_COM1", pty.slavePath().toLocal8Bit());
        SerialPortControl port;
        QCOMPARE(port.open(), 0);
        QSignalSpy lost(&port, &SerialPortControl::portLost);
        pty.closeSlave();
        pty.closeMaster();
        QVERIFY(lost.wait(5000));
        QVERIFY(!port.isOpen());
        QCOMPARE(lost.count(), 1);

        // Idle afterwards: the event loop sleeps.
        const double before = cpuSeconds();
        QTest::qWait(500);
        const double cpu = cpuSeconds() - before;
        QVERIFY2(cpu < 0.1, qPrintable(QString::number(cpu)));
        QCOMPARE(lost.count(), 1);
    }

    void deviceMapOverrideAndNumbering() {
        qunsetenv("ZELDL_COM40");
        SerialPortControl port;
        QVERIFY(port.setCommPort(40));
        QCOMPARE(port.devicePath(), QString("/dev/ttyUSB7"));
        QVERIFY(port.setCommPort(1));
        qputenv("ZELDL_COM1", "/tmp/x");
        QCOMPARE(port.devicePath(), QString("/tmp/x"));
        qunsetenv("ZELDL_COM1");
        QCOMPARE(port.devicePath(), QString("/dev/ttyS0"));
        QVERIFY(port.setCommPort(128));
        QCOMPARE(port.devicePath(), QString("/dev/ttyAMA31"));
    }
};

QTEST_GUILESS_MAIN(tst_SerialPort)
#include "tst_serialport.moc"

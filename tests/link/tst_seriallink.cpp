#include "Cancel.h"
#include "Clock.h"
#include "FakeView.h"
#include "LinkTimers.h"
#include "Pause.h"
#include "PtyPair.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/file.h>

namespace {
// Counters that the test moves by hand.
class FakeCounters : public LineCounterSource {
public:
    explicit FakeCounters(LineCounters &counts) : m_counts(counts) {}
    std::optional<LineCounters> read() override { return m_counts; }

private:
    LineCounters &m_counts;
};

QByteArray allByteValues() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}
} // namespace

// The serial link against a real pseudo-terminal standing in for the printer.
class tst_SerialLink : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<FakeView> m_view;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<SerialPortControl> m_port;
    std::unique_ptr<SerialLink> m_link;

    void openWithHandshaking(int code) {
        m_state->handshaking = qint16(code);
        m_link->configurePort();
        QVERIFY(m_port->isOpen());
    }

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8()); }

    void init() {
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->isValid());
        qputenv("ZELDL_COM1", m_pty->slavePath().toLocal8Bit());
        m_state = std::make_unique<SharedState>();
        m_view = std::make_unique<FakeView>();
        m_store = std::make_unique<SettingsStore>();
        m_port = std::make_unique<SerialPortControl>();
        m_link = std::make_unique<SerialLink>(*m_state, *m_store, *m_port, *m_view);
    }
    void cleanup() {
        m_link.reset();
        m_port.reset();
        m_pty.reset();
    }

    void allByteValuesPassUnchanged() {
        openWithHandshaking(0);
        const QByteArray bytes = allByteValues();
        m_link->send(bytes);
        // Output goes out while the event loop runs.
        QByteArray seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen += m_pty->readAvailable(1)).size() >= 256, 5000);
        QCOMPARE(seen, bytes);

        m_pty->write(bytes);
        QByteArray reply;
        float timeout = 30;
        QTimer::singleShot(0, this, [&] { m_pty->write(bytes); });
        QCOMPARE(m_link->receive(reply, 256, timeout), qint16(0));
        QCOMPARE(reply.left(256), bytes);
        QCOMPARE(m_view->current, QString("Status - -99"));
    }

    void sendingWithXonXoffKeepsEveryByte() {
        openWithHandshaking(1);
        QByteArray bytes = allByteValues().repeated(8);
        m_link->send(bytes);
        QByteArray seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen += m_pty->readAvailable(1)).size() >= bytes.size(), 5000);
        QCOMPARE(seen, bytes);
    }

    void receiveCases() {
        openWithHandshaking(1);
        QByteArray reply = "unchanged";
        float timeout = 30;

        // Count 0: ends at the first pass.
        QCOMPARE(m_link->receive(reply, 0, timeout), qint16(0));

        // A reply longer than the count comes back whole.
        QTimer::singleShot(5, this, [&] { m_pty->write("0123456789ABCDEFGHIJ"); });
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(0));
        QTRY_COMPARE(m_port->inBufferCount() + reply.size(), qint64(20));

        // Bytes that came before the call are discarded.
        m_pty->write("EARLY REPLY!!!");
        QTRY_COMPARE(m_port->inBufferCount(), qint64(14));
        QTimer::singleShot(5, this, [&] { m_pty->write("late"); });
        timeout = 2; // 20 ms at the test's time scale
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(-1));
        QCOMPARE(reply, QByteArray("late"));

        // Timed out with nothing: empty reply, and only after the deadline.
        const double start = Clock::now();
        timeout = 1.5;
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(-1));
        QVERIFY(Clock::now() - start > 1.5);
        QCOMPARE(reply, QByteArray());
        QCOMPARE(m_view->current, QString("Status - -99"));

        // A negative timeout is raised to 0 in the caller's variable.
        timeout = -4;
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(-1));
        QCOMPARE(timeout, 0.0f);
        QVERIFY(!m_state->downloadError);
    }

    void closedPort() {
        QVERIFY(!m_port->isOpen());
        QByteArray reply = "kept";
        float timeout = 30;
        const double start = Clock::now();
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(-2));
        QVERIFY(Clock::now() - start < 1.0);
        QCOMPARE(reply, QByteArray("kept"));
        QCOMPARE(m_view->current, QString(" Comm port not open"));
        QVERIFY(m_state->downloadError);

        m_state->downloadError = false;
        m_view->current.clear();
        m_link->send("{SR}");
        QCOMPARE(m_view->current, QString(" Comm port not open"));
        QVERIFY(m_state->downloadError);
    }

    void deviceVanishingDuringAWait() {
        openWithHandshaking(1);
        QByteArray reply;
        float timeout = 3000; // 30 s at the test's scale; must end long before
        QTimer::singleShot(20, this, [&] {
            m_pty->closeSlave();
            m_pty->closeMaster();
        });
        QElapsedTimer real;
        real.start();
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(-2));
        QVERIFY(real.elapsed() < 10000);
        QCOMPARE(m_view->current, QString(" Comm port not open"));
        QVERIFY(m_state->downloadError);
        QVERIFY(!m_port->isOpen());
    }

    void busyPortIsReported() {
        QCOMPARE(flock(m_pty->slaveFd(), LOCK_EX | LOCK_NB), 0);
        m_state->comPort = 1;
        m_link->configurePort();
        QVERIFY(!m_port->isOpen());
        QCOMPARE(m_view->current, QString("Comm Port 1 in use by another application"));
    }

    void settingsAreReadWithDefaults() {
        m_state->comPort = 9;
        m_state->replyTimeout = 3;
        m_link->loadPortSettings();
        QCOMPARE(m_state->comPort, qint16(1));
        QCOMPARE(m_state->lineSettings, QString("9600,N,8,1"));
        QCOMPARE(m_state->handshaking, qint16(1));
        QCOMPARE(m_state->replyTimeout, 25.0f);
        m_store->write("Comport", "COM2");
        m_store->write("Timeout", "2.5");
        m_link->loadPortSettings();
        QCOMPARE(m_state->comPort, qint16(1)); // not a number: kept
        QCOMPARE(m_state->replyTimeout, 2.5f);
    }

    void lineEvents_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("which"); // 0 break 1 framing 2 overrun 3 overflow 4 parity
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("abort");
        QTest::addColumn<bool>("error");
        QTest::addColumn<bool>("done");
        QTest::newRow("break Q410") << 0 << 0 << "Check Printer..." << true << false << true;
        QTest::newRow("break Q415") << 1 << 0 << "Check Printer..." << true << false << true;
        QTest::newRow("break Q417") << 2 << 0 << "" << false << false << true;
        QTest::newRow("break T540") << 5 << 0 << "" << false << false << true;
        QTest::newRow("framing") << 0 << 1 << "Framing error " << false << true << false;
        QTest::newRow("overrun") << 0 << 2 << "Data Lost " << false << false << false;
        QTest::newRow("overflow") << 0 << 3 << "Receive buffer overflow " << false << false
                                  << false;
        QTest::newRow("parity") << 0 << 4 << "Parity error " << false << false << false;
    }
    void lineEvents() {
        QFETCH(int, printer);
        QFETCH(int, which);
        QFETCH(QString, status);
        QFETCH(bool, abort);
        QFETCH(bool, error);
        QFETCH(bool, done);
        LineCounters counts;
        m_port->lineMonitor().start(std::make_unique<FakeCounters>(counts));
        m_state->printer = qint16(printer);
        m_view->progressVisible = true;
        m_view->progressValue = 40;

        quint64 *fields[] = {&counts.breaks, &counts.framing, &counts.overrun,
                             &counts.bufferOverflow, &counts.parity};
        *fields[which] += 3;
        m_port->lineMonitor().poll();

        QCOMPARE(m_view->current, status);
        QCOMPARE(m_state->abortRequested, abort);
        QCOMPARE(m_state->breakSeen, abort);
        QCOMPARE(m_state->downloadError, error);
        QCOMPARE(m_state->downloadDone, done);
        QCOMPARE(m_view->progressVisible, !abort);
        QCOMPARE(m_view->progressValue, abort ? 0 : 40);

        // Nothing moved: nothing raised again.
        m_view->statuses.clear();
        m_port->lineMonitor().poll();
        QVERIFY(m_view->statuses.isEmpty());
    }

    void breakAfterAbortOnlyEndsTheDownload() {
        LineCounters counts;
        m_port->lineMonitor().start(std::make_unique<FakeCounters>(counts));
        m_state->abortRequested = true;
        counts.breaks = 1;
        m_port->lineMonitor().poll();
        QVERIFY(!m_state->breakSeen);
        QVERIFY(m_state->downloadDone);
        QVERIFY(m_view->statuses.isEmpty());
    }

    void driverWithoutCountersRaisesNothing() {
        openWithHandshaking(0); // a pseudo-terminal keeps no counters
        QVERIFY(!m_port->lineMonitor().isRunning());
    }

    void cancelDuringAWaitSetsFlagsAndTheWaitRunsOn() {
        openWithHandshaking(1);
        QTimer::singleShot(5, this, [&] { requestCancel(*m_state, *m_view); });
        QByteArray reply;
        float timeout = 5; // 50 ms real
        const double start = Clock::now();
        QCOMPARE(m_link->receive(reply, 14, timeout), qint16(-1));
        QVERIFY(Clock::now() - start > 5.0);
        QVERIFY(m_state->abortRequested);
        QVERIFY(m_state->downloadDone);
        QVERIFY(m_view->statuses.contains("Please Wait..."));

        float zero = 0;
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        Pause(*m_state, zero);
        QVERIFY(!ran);
        QTRY_VERIFY(ran); // the handler must not outlive `ran`
    }

    void keypadResetAfterPassThrough_data() {
        QTest::addColumn<bool>("passThru");
        QTest::addColumn<bool>("aborted");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("pass-through")
            << true << false << QByteArray("^PR")
            << QStringList{"Resetting Printer ...", "Download Complete"} << true;
        QTest::newRow("box cleared") << false << false << QByteArray() << QStringList{} << true;
        QTest::newRow("aborted") << true << true << QByteArray() << QStringList{} << false;
    }
    void keypadResetAfterPassThrough() {
        QFETCH(bool, passThru);
        QFETCH(bool, aborted);
        QFETCH(QByteArray, wire);
        QFETCH(QStringList, statuses);
        QFETCH(bool, enabled);
        openWithHandshaking(2);
        m_state->printer = Printers::K72e;
        m_state->abortRequested = aborted;
        m_view->passThru = passThru;
        LinkTimers timers(*m_state, *m_link, *m_view);
        timers.startResetDelay();
        QVERIFY(timers.resetTimer().isActive());
        QTRY_COMPARE_WITH_TIMEOUT(m_view->downloadEnabled || aborted, true, 5000);
        if (aborted)
            QTRY_VERIFY(!timers.resetTimer().isActive());
        QVERIFY(!timers.resetTimer().isActive());
        QCOMPARE(m_view->statuses, statuses);
        QCOMPARE(m_view->downloadEnabled, enabled);
        QCOMPARE(m_pty->readAvailable(), wire);
    }
};

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"

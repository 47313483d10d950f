#include "Clock.h"
#include "DownloadSet.h"
#include "PrinterRig.h"
#include "SerialPortControl.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
const QByteArray kApp = "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n";
const QByteArray kAppWire = "{XA,1}{F,2,A|\r\n}{XB,2}";
const QByteArray kFormat = "{F,1,A,R,E,200,200,\"FMT1\"|\r\nC,10,10,0,1,1,1,W,\"HI\"|\r\n}\r\n";
const QByteArray kFormatWire = "{F,1,A,R,E,200,200,\"FMT1\"|C,10,10,0,1,1,1,W,\"HI\"|}";
const QByteArray kLookup1 = "A\r\nB|\r\n";
const QByteArray kLookup1Wire = "{R0_XXXX_A|\r\nB|\r\n}";
const QByteArray kLookup2 = "C\n";
const QByteArray kLookup2Wire = "{R1_XXXX_C|\r\n}";
} // namespace

// Whole downloads through the real window, the real serial link on a
// pseudo-terminal, and the virtual printer on its other end.
class tst_SerialDownload : public QObject, protected PrinterRig {
    Q_OBJECT

    // The printer on Com1, the window loaded for the given printer model.
    bool open(int printer, const QStringList &faults = {}) {
        if (!plugPrinter(faults))
            return false;
        loadFor(printer);
        return true;
    }
    void loadFor(int printer) {
        m_store->write("Printer", QString::number(printer));
        m_store->write("Settings", printer == 4 ? "9600,n,8,1" : "9600,o,7,1");
        m_store->write("LLU", "True");
        load();
    }
    void putFullSet() {
        putDownloadSet(*m_window, *m_state, makeFile("app.fpc", kApp),
                       makeFile("label.fmt", kFormat),
                       {makeFile("t1.txt", kLookup1), makeFile("t2.txt", kLookup2)});
    }
    void download() { m_window->ui().downloadButton->click(); }

    void verifyUnlocked() {
        const MainWindowUi &ui = m_window->ui();
        QVERIFY(ui.downloadButton->isEnabled());
        QVERIFY(ui.closeButton->isEnabled());
        QVERIFY(!ui.cancelButton->isEnabled());
        QVERIFY(!ui.progressBar->isVisible());
    }

private Q_SLOTS:
    void init() { resetPrinterRig(); }
    void cleanup() { closePrinterRig(); }

    void q410ApplicationFormatAndTwoLookups() {
        QVERIFY(open(0));
        putFullSet();
        download();
        QCOMPARE(m_window->status(), QString("Download Complete"));
        QVERIFY(
            statusesInOrder({"Working...", "Downloading app.fpc", "{CP=0,P=001,0} - Success",
                             "{CP=0,P=002,0} - Success", "Download Finished", "Downloading t1.txt",
                             "{CP=0,P=003,0} - Success", "Download Finished", "Downloading t2.txt",
                             "{CP=0,P=004,0} - Success", "Download Finished", "SENDING {S }",
                             "Download Complete"}));
        QTRY_COMPARE(m_printer->captured(),
                     kAppWire + kFormatWire + kLookup1Wire + kLookup2Wire + "{S }");
        verifyUnlocked();
        QVERIFY(m_state->appSent);
        QCOMPARE(m_window->windowTitle(), SettingsStore::applicationName());
    }

    void q412StatusRequest_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("end");
        QTest::newRow("accepted") << QStringList{} << QByteArray("{SR}" + kAppWire + "{S }")
                                  << "Download Complete";
        QTest::newRow("rejected") << QStringList{"--fault", "error@1"} << QByteArray("{SR}")
                                  << "{CP=4,P=001,?} - Packet error";
        QTest::newRow("timed out") << QStringList{"--fault", "silent@1"} << QByteArray("{SR}")
                                   << " - Download error response timeout";
    }
    void q412StatusRequest() {
        QFETCH(QStringList, faults);
        QFETCH(QByteArray, wire);
        QFETCH(QString, end);
        QVERIFY(open(4, faults));
        putDownloadSet(*m_window, *m_state, makeFile("app.fpc", kApp), {}, {});
        download();
        QCOMPARE(m_window->status(), end);
        QTRY_COMPARE(m_printer->captured(), wire);
        // Nothing more trickles out later.
        QTest::qWait(100);
        QCOMPARE(m_printer->captured(), wire);
        verifyUnlocked();
    }

    void packetErrorStopsTheTransfer() {
        QVERIFY(open(0, {"--fault", "error@1"}));
        putDownloadSet(*m_window, *m_state, makeFile("app.fpc", kApp), {}, {});
        download();
        QTRY_VERIFY(m_printer->captured().startsWith("{XA,1}"));
        QTest::qWait(100);
        QVERIFY(!m_printer->captured().contains("{XB,2}"));
        QCOMPARE(m_window->status(), QString("{CP=4,P=001,?} - Packet error"));
        QVERIFY(!m_statuses.contains("Download Complete"));
        verifyUnlocked();
    }

    void cancelDuringAReplyWaitStopsEverythingAfter() {
        QVERIFY(open(0, {"--fault", "silent@2"}));
        putFullSet();
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [this, &poll] {
            if (m_printer->captured().contains("{XB,2}")) {
                poll.stop();
                m_window->ui().cancelButton->click();
            }
        });
        poll.start(5);
        download();
        QVERIFY(m_statuses.contains("Please Wait..."));
        QVERIFY(m_statuses.contains("app.fpc Download Cancelled"));
        QVERIFY(m_window->status().contains("Cancelled"));
        QVERIFY(!m_statuses.contains("Download Complete"));
        QTest::qWait(100);
        QCOMPARE(m_printer->captured(), kAppWire);
        verifyUnlocked();
        QVERIFY(!m_state->abortRequested);
    }

    void cancelDuringThePauseBeforeTheFormat() {
        Clock::setScale(0.05); // the 4-second pause takes 200 ms
        QVERIFY(open(0));
        putFullSet();
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [this, &poll] {
            if (m_window->status() == "Download Finished") {
                poll.stop();
                m_window->ui().cancelButton->click();
            }
        });
        poll.start(5);
        download();
        QCOMPARE(m_window->status(), QString("Cancelled"));
        QTest::qWait(100);
        QCOMPARE(m_printer->captured(), kAppWire);
        verifyUnlocked();
    }

    void noPrinterOnTheLine() {
        plugSilentLine(1);
        loadFor(0);
        putFullSet();
        download();
        QCOMPARE(m_window->status(), QString(" - Download error response timeout"));
        QVERIFY(!m_statuses.contains("Download Complete"));
        QCOMPARE(m_pty->readAvailable(), QByteArray("{XA,1}"));
        verifyUnlocked();
    }
};

QTEST_MAIN(tst_SerialDownload)
#include "tst_serial_download.moc"

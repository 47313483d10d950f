#include "Clock.h"
#include "LinkTimers.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "WindowRig.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <sys/file.h>

// The main window as a user meets it: what it shows after the load step
// for a given store, every named control, and the close path.
class tst_frmMain : public QObject, protected WindowRig {
    Q_OBJECT

    void store(const QString &key, const QString &text) { m_store->write(key, text); }
    QString panel(int n) { return find<QLabel>(n == 1 ? "linkPanel" : "modePanel")->text(); }

private Q_SLOTS:
    void init() {
        resetWindowRig();
        plugSilentLine(1);
    }
    void cleanup() { closeWindowRig(); }

    void emptyStoreStartsWithDefaults() {
        MainWindow &w = load();
        QCOMPARE(m_state->mode, qint16(0));
        QCOMPARE(panel(1), QString("Com1 9600,N,8,1 Xon/Xoff"));
        QCOMPARE(panel(2), QString("Serial Mode"));
        QCOMPARE(m_state->replyTimeout, 25.0f);
        QCOMPARE(find<QComboBox>("printerList")->currentText(), QString("Q410"));
        QCOMPARE(find<QComboBox>("printerList")->count(), 8);
        QCOMPARE(find<QComboBox>("firstLookupList")->currentText(), QString("0"));
        QCOMPARE(w.width(), w.scaledWidth(MainWindow::kStandardWidth));
        QVERIFY(!find<QGroupBox>("lookupGroup")->isVisible());
        QVERIFY(find<QAction>("standardViewAction")->isChecked());
        QVERIFY(!find<QAction>("lookupViewAction")->isChecked());
        QVERIFY(find<QAction>("defaultCheckAction")->isChecked());
        QVERIFY(!find<QCheckBox>("passThroughBox")->isChecked());
        QVERIFY(!find<QPushButton>("downloadButton")->isEnabled());
        QVERIFY(!find<QAction>("downloadAction")->isEnabled());
        QVERIFY(!find<QAction>("Download")->isEnabled());
        QVERIFY(!find<QPushButton>("cancelButton")->isEnabled());
        QVERIFY(!find<QPushButton>("removeAppButton")->isEnabled());
        QVERIFY(!find<QPushButton>("addFormatButton")->isEnabled());
        QVERIFY(find<QPushButton>("addAppButton")->isEnabled());
        QVERIFY(find<QPushButton>("closeButton")->isEnabled());
        QVERIFY(!find<QProgressBar>("progressBar")->isVisible());
        // The port is open on the pseudo-terminal, as a user would see it.
        QVERIFY(w.serialPort().isOpen());
        QVERIFY(!m_state->abortRequested);
        QCOMPARE(w.helpFile().section('/', -1), QString("ZELDL.chm"));
    }

    void savedTcpModeShowsTheAddressAndNoSerialMessage() {
        store("Mode", "1");
        store("IPAddress", "192.0.2.10");
        store("IPPort", "6101");
        QCOMPARE(flock(m_pty->slaveFd(), LOCK_EX | LOCK_NB), 0); // port busy elsewhere
        MainWindow &w = load();
        QCOMPARE(panel(2), QString("TCP/IP Mode"));
        QCOMPARE(panel(1), QString("192.0.2.10 at port 6101"));
        QCOMPARE(find<QLabel>("statusLabel")->text(), QString(59, ' '));
        QVERIFY(!w.serialPort().isOpen());
    }

    void busyPortInSerialModeIsReported() {
        QCOMPARE(flock(m_pty->slaveFd(), LOCK_EX | LOCK_NB), 0);
        load();
        QCOMPARE(find<QLabel>("statusLabel")->text(),
                 QString("Comm Port 1 in use by another application"));
    }

    void storedValues_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("panel1");
        QTest::addColumn<QString>("printer");
        QTest::newRow("handshaking 7") << "Handshaking"
                                       << "7"
                                       << "Com1 9600,N,8,1 ?"
                                       << "Q410";
        QTest::newRow("handshaking 3") << "Handshaking"
                                       << "3"
                                       << "Com1 9600,N,8,1 RTS+Xon/Xoff"
                                       << "Q410";
        QTest::newRow("settings") << "Settings"
                                  << "19200,n,8,1"
                                  << "Com1 19200,n,8,1 Xon/Xoff"
                                  << "Q410";
        QTest::newRow("printer T540") << "Printer"
                                      << "5"
                                      << "Com1 9600,N,8,1 Xon/Xoff"
                                      << "T540 ZEL Interp";
        QTest::newRow("printer not a number") << "Printer"
                                              << "Q412"
                                              << "Com1 9600,N,8,1 Xon/Xoff"
                                              << "Q410";
        QTest::newRow("printer out of range") << "Printer"
                                              << "9"
                                              << "Com1 9600,N,8,1 Xon/Xoff"
                                              << "";
    }
    void storedValues() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, panel1);
        QFETCH(QString, printer);
        store(key, text);
        store("Timeout", "7.5"); // the step after a failed one still runs
        load();
        QCOMPARE(panel(1), panel1);
        QCOMPARE(find<QComboBox>("printerList")->currentText(), printer);
        QCOMPARE(m_state->replyTimeout, 7.5f);
    }

    void modeTwoRunsNeitherLinkBranch() {
        store("Mode", "2");
        load();
        QCOMPARE(m_state->mode, qint16(2));
        QCOMPARE(panel(2), QString());
    }

    void lookupViewIsWideAndKeypadKeepsPassThrough() {
        store("LLU", "1");
        store("Printer", "3");
        store("PassThru", "True");
        store("NeverShowDefault", "True");
        MainWindow &w = load();
        QVERIFY(m_state->lookupView);
        QCOMPARE(w.width(), w.scaledWidth(MainWindow::kLookupWidth));
        QVERIFY(find<QGroupBox>("lookupGroup")->isVisible());
        QVERIFY(find<QAction>("lookupViewAction")->isChecked());
        QVERIFY(!find<QAction>("standardViewAction")->isChecked());
        QVERIFY(find<QCheckBox>("lookupBox")->isChecked());
        QVERIFY(find<QCheckBox>("passThroughBox")->isChecked());
        QVERIFY(!find<QAction>("defaultCheckAction")->isChecked());
    }

    void everyControlHasItsCaptionAndTip_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        const QList<QStringList> rows = {
            {"downloadButton", "Download", "Download ZEL app and lookups"},
            {"cancelButton", "Cancel", "Cancel download"},
            {"closeButton", "Close", "Close this dialog"},
            {"addAppButton", "Add App...", "Select ZEL App Filename for download"},
            {"removeAppButton", "Remove App", "Clear ZEL App Filename from download"},
            {"addFormatButton", "Add Fmt...", "Select Format Filename for download"},
            {"removeFormatButton", "Remove Fmt", "Clear Format Filename from download"},
            {"addLookupButton", "Add...", "Add lookup file to list"},
            {"removeLookupButton", "Remove", "Remove selected lookup file from list"},
            {"removeAllButton", "Remove All", "Clear list"},
            {"upButton", "Up", "Move Lookup File Up in list"},
            {"downButton", "Down", "Move Lookup File Down in list"},
            {"passThroughBox", "Pass Through", ""},
            {"lookupBox", "Lookup File", ""},
            {"applicationLabel", "ZEL App Filename", ""},
            {"firstLookupLabel", "First Lookup", ""},
            {"lookupNoteLabel", "Lookups are downloaded in the order selected", ""},
            {"formatLabel", "Format Filename", ""},
            {"printerLabel", "Select Printer", ""},
            {"statusLabel", "Status", ""},
            {"appFileLabel", "", "ZEL app filename"},
            {"formatFileLabel", "", "Format filename"},
            {"printerList", "", "Select Printer"},
            {"firstLookupList", "", "Select first lookup number"},
            {"lookupList", "", "ZEL lookups for download"},
            {"progressBar", "", "Download progress"},
            {"printerGroup", "ZEL Printer", ""},
            {"applicationGroup", "ZEL Application", ""},
            {"formatGroup", "ZEL Formats", ""},
            {"lookupGroup", "ZEL Lookups", ""},
            {"fileMenu", "&File", ""},
            {"downloadAction", "&Download", ""},
            {"exitAction", "E&xit", ""},
            {"setupMenu", "&Setup", ""},
            {"modeAction", "&Mode...", ""},
            {"commAction", "&Comm...", ""},
            {"tcpipAction", "&TCP/IP...", ""},
            {"timeoutAction", "&Timeout...", ""},
            {"viewMenu", "&View", ""},
            {"standardViewAction", "Standard", ""},
            {"lookupViewAction", "w/Lookup File", ""},
            {"defaultCheckAction", "Default Comm Settings Check", ""},
            {"helpMenu", "&Help", ""},
            {"helpContentsAction", "&Contents...", ""},
            {"aboutAction", "&About...", ""},
            {"Mode", "", "Mode"},
            {"CommSet", "", "Comm Settings"},
            {"TCP/IP", "", "TCP/IP"},
            {"Download", "", "Download"},
            {"Help", "", "Help"},
            {"About", "", "About"},
            {"Exit", "", "Exit"},
        };
        for (const QStringList &r : rows)
            QTest::newRow(qPrintable(r[0])) << r[0] << r[1] << r[2];
    }
    void everyControlHasItsCaptionAndTip() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        m_window = std::make_unique<MainWindow>(*m_state, *m_store, nullptr);
        QObject *o = m_window->findChild<QObject *>(name);
        QVERIFY2(o, qPrintable(name));
        if (auto *a = qobject_cast<QAction *>(o)) {
            if (!caption.isEmpty())
                QCOMPARE(a->text(), caption);
            if (!tip.isEmpty())
                QCOMPARE(a->toolTip(), tip);
            return;
        }
        if (auto *m = qobject_cast<QMenu *>(o)) {
            QCOMPARE(m->title(), caption);
            return;
        }
        auto *w = qobject_cast<QWidget *>(o);
        QVERIFY(w);
        if (!caption.isEmpty()) {
            QString text = w->property("text").toString();
            if (auto *g = qobject_cast<QGroupBox *>(w))
                text = g->title();
            QCOMPARE(text, caption);
        }
        if (!tip.isEmpty()) {
            QCOMPARE(w->toolTip(), tip);
            QCOMPARE(w->accessibleDescription(), tip);
        }
    }

    void toolbarOrderAndDownloadIsTheFifthButton() {
        m_window = std::make_unique<MainWindow>(*m_state, *m_store, nullptr);
        const auto actions = find<QToolBar>("toolBar")->actions();
        QStringList keys;
        for (QAction *a : actions)
            keys << (a->isSeparator() ? QString("|") : a->data().toString());
        QCOMPARE(keys, (QStringList{"|", "Mode", "CommSet", "TCP/IP", "Download", "|", "Help",
                                    "About", "|", "Exit"}));
        QCOMPARE(actions.at(4)->property("imageKey").toString(), QString("Bolt1"));
    }

    void screenReaderHearsCurrentTextsAndFixedDescriptions() {
        load();
        auto *status = find<QLabel>("statusLabel");
        m_window->setStatus("Working...");
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(status);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QString("Working..."));
        QCOMPARE(a->text(QAccessible::Description), QString("Status line"));
        auto *panel1 = QAccessible::queryAccessibleInterface(find<QLabel>("linkPanel"));
        QCOMPARE(panel1->text(QAccessible::Name), QString("Com1 9600,N,8,1 Xon/Xoff"));
        QCOMPARE(panel1->text(QAccessible::Description), QString("Link"));
        auto *panel2 = QAccessible::queryAccessibleInterface(find<QLabel>("modePanel"));
        QCOMPARE(panel2->text(QAccessible::Description), QString("Mode"));
        auto *button = QAccessible::queryAccessibleInterface(find<QPushButton>("addAppButton"));
        QCOMPARE(button->text(QAccessible::Name), QString("Add App..."));
    }

    void cancelButtonRaisesTheFlags() {
        load();
        m_window->cancelDownload();
        QVERIFY(m_state->abortRequested);
        QVERIFY(m_state->downloadDone);
        QCOMPARE(m_window->status(), QString("Please Wait..."));
    }

    void closingInTheMiddleOfAWaitEndsPromptly() {
        MainWindow &w = load();
        QVERIFY(w.serialPort().isOpen());
        w.linkTimers().resetTimer().start(100000);
        QTimer::singleShot(20, &w, [&w] { w.closeProgram(); });
        QByteArray reply;
        float timeout = 1e6; // far beyond any test
        QElapsedTimer real;
        real.start();
        w.serialLink().receive(reply, 14, timeout);
        QVERIFY(real.elapsed() < 10000);
        QVERIFY(m_state->exitRequested);
        QVERIFY(!w.serialPort().isOpen());
        QVERIFY(!w.linkTimers().resetTimer().isActive());
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_mainwindow.moc"

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
    QString panel(int n) {
        return find<QLabel>(n == 1 ? "StatusBar1Panel1" : "StatusBar1Panel2")->text();
    }

private Q_SLOTS:
    void init() {
        resetWindowRig();
        plugSilentLine(1);
    }
    void cleanup() { closeWindowRig(); }

    void emptyStoreStartsWithDefaults() {
        frmMain &w = load();
        QCOMPARE(m_state->mintMode, qint16(0));
        QCOMPARE(panel(1), QString("Com1 9600,N,8,1 Xon/Xoff"));
        QCOMPARE(panel(2), QString("Serial Mode"));
        QCOMPARE(m_state->msngTimeout, 25.0f);
        QCOMPARE(find<QComboBox>("cboPrinter")->currentText(), QString("Q410"));
        QCOMPARE(find<QComboBox>("cboPrinter")->count(), 8);
        QCOMPARE(find<QComboBox>("cboLUStart")->currentText(), QString("0"));
        QCOMPARE(w.width(), w.twipsToPixels(frmMain::kStandardWidthTwips));
        QVERIFY(!find<QGroupBox>("fraZELLookup")->isVisible());
        QVERIFY(find<QAction>("mnuStandard")->isChecked());
        QVERIFY(!find<QAction>("mnuAdvanced")->isChecked());
        QVERIFY(find<QAction>("mnuDefaultCheck")->isChecked());
        QVERIFY(!find<QCheckBox>("chkPassThru")->isChecked());
        QVERIFY(!find<QPushButton>("cmdDownload")->isEnabled());
        QVERIFY(!find<QAction>("mnuFileDownload")->isEnabled());
        QVERIFY(!find<QAction>("Download")->isEnabled());
        QVERIFY(!find<QPushButton>("cmdCancel")->isEnabled());
        QVERIFY(!find<QPushButton>("cmdZELRemove")->isEnabled());
        QVERIFY(!find<QPushButton>("cmdAddFmt")->isEnabled());
        QVERIFY(find<QPushButton>("cmdZELApp")->isEnabled());
        QVERIFY(find<QPushButton>("cmdClose")->isEnabled());
        QVERIFY(!find<QProgressBar>("ProgressBar1")->isVisible());
        // The port is open on the pseudo-terminal, as a user would see it.
        QVERIFY(w.serialPort().isOpen());
        QVERIFY(!m_state->mblnAbort);
        QCOMPARE(w.helpFile().section('/', -1), QString("ZELDL.chm"));
    }

    void savedTcpModeShowsTheAddressAndNoSerialMessage() {
        store("Mode", "1");
        store("IPAddress", "192.0.2.10");
        store("IPPort", "6101");
        QCOMPARE(flock(m_pty->slaveFd(), LOCK_EX | LOCK_NB), 0); // port busy elsewhere
        frmMain &w = load();
        QCOMPARE(panel(2), QString("TCP/IP Mode"));
        QCOMPARE(panel(1), QString("192.0.2.10 at port 6101"));
        QCOMPARE(find<QLabel>("lblStatus")->text(), QString(59, ' '));
        QVERIFY(!w.serialPort().isOpen());
    }

    void busyPortInSerialModeIsReported() {
        QCOMPARE(flock(m_pty->slaveFd(), LOCK_EX | LOCK_NB), 0);
        load();
        QCOMPARE(find<QLabel>("lblStatus")->text(),
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
        QCOMPARE(find<QComboBox>("cboPrinter")->currentText(), printer);
        QCOMPARE(m_state->msngTimeout, 7.5f);
    }

    void modeTwoRunsNeitherLinkBranch() {
        store("Mode", "2");
        load();
        QCOMPARE(m_state->mintMode, qint16(2));
        QCOMPARE(panel(2), QString());
    }

    void lookupViewIsWideAndKeypadKeepsPassThrough() {
        store("LLU", "1");
        store("Printer", "3");
        store("PassThru", "True");
        store("NeverShowDefault", "True");
        frmMain &w = load();
        QVERIFY(m_state->mblnLookupView);
        QCOMPARE(w.width(), w.twipsToPixels(frmMain::kLookupWidthTwips));
        QVERIFY(find<QGroupBox>("fraZELLookup")->isVisible());
        QVERIFY(find<QAction>("mnuAdvanced")->isChecked());
        QVERIFY(!find<QAction>("mnuStandard")->isChecked());
        QVERIFY(find<QCheckBox>("chkLookup")->isChecked());
        QVERIFY(find<QCheckBox>("chkPassThru")->isChecked());
        QVERIFY(!find<QAction>("mnuDefaultCheck")->isChecked());
    }

    void everyControlHasItsCaptionAndTip_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        const QList<QStringList> rows = {
            {"cmdDownload", "Download", "Download ZEL app and lookups"},
            {"cmdCancel", "Cancel", "Cancel download"},
            {"cmdClose", "Close", "Close this dialog"},
            {"cmdZELApp", "Add App...", "Select ZEL App Filename for download"},
            {"cmdZELRemove", "Remove App", "Clear ZEL App Filename from download"},
            {"cmdAddFmt", "Add Fmt...", "Select Format Filename for download"},
            {"cmdRemoveFmt", "Remove Fmt", "Clear Format Filename from download"},
            {"cmdAdd", "Add...", "Add lookup file to list"},
            {"cmdRemove", "Remove", "Remove selected lookup file from list"},
            {"cmdClear", "Remove All", "Clear list"},
            {"cmdUp", "Up", "Move Lookup File Up in list"},
            {"cmdDown", "Down", "Move Lookup File Down in list"},
            {"chkPassThru", "Pass Through", ""},
            {"chkLookup", "Lookup File", ""},
            {"Label1", "ZEL App Filename", ""},
            {"Label2", "First Lookup", ""},
            {"Label3", "Lookups are downloaded in the order selected", ""},
            {"Label4", "Format Filename", ""},
            {"Label5", "Select Printer", ""},
            {"lblStatus", "Status", ""},
            {"lblZELAppFilename", "", "ZEL app filename"},
            {"lblFormat", "", "Format filename"},
            {"cboPrinter", "", "Select Printer"},
            {"cboLUStart", "", "Select first lookup number"},
            {"lstLookups", "", "ZEL lookups for download"},
            {"ProgressBar1", "", "Download progress"},
            {"fraPrinter", "ZEL Printer", ""},
            {"fraZELApp", "ZEL Application", ""},
            {"fraFormat", "ZEL Formats", ""},
            {"fraZELLookup", "ZEL Lookups", ""},
            {"mnuFile", "&File", ""},
            {"mnuFileDownload", "&Download", ""},
            {"mnuFileExit", "E&xit", ""},
            {"mnuSetup", "&Setup", ""},
            {"mnuSetupMode", "&Mode...", ""},
            {"mnuSetupComm", "&Comm...", ""},
            {"mnuSetupTCPIP", "&TCP/IP...", ""},
            {"mnuSetupTimeout", "&Timeout...", ""},
            {"mnuView", "&View", ""},
            {"mnuStandard", "Standard", ""},
            {"mnuAdvanced", "w/Lookup File", ""},
            {"mnuDefaultCheck", "Default Comm Settings Check", ""},
            {"mnuHelp", "&Help", ""},
            {"mnuHelpContents", "&Contents...", ""},
            {"mnuHelpAbout", "&About...", ""},
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
        m_window = std::make_unique<frmMain>(*m_state, *m_store, nullptr);
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
        m_window = std::make_unique<frmMain>(*m_state, *m_store, nullptr);
        const auto actions = find<QToolBar>("Toolbar1")->actions();
        QStringList keys;
        for (QAction *a : actions)
            keys << (a->isSeparator() ? QString("|") : a->data().toString());
        QCOMPARE(keys, (QStringList{"|", "Mode", "CommSet", "TCP/IP", "Download", "|", "Help",
                                    "About", "|", "Exit"}));
        QCOMPARE(actions.at(4)->property("imageKey").toString(), QString("Bolt1"));
    }

    void screenReaderHearsCurrentTextsAndFixedDescriptions() {
        load();
        auto *status = find<QLabel>("lblStatus");
        m_window->setStatus("Working...");
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(status);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QString("Working..."));
        QCOMPARE(a->text(QAccessible::Description), QString("Status line"));
        auto *panel1 = QAccessible::queryAccessibleInterface(find<QLabel>("StatusBar1Panel1"));
        QCOMPARE(panel1->text(QAccessible::Name), QString("Com1 9600,N,8,1 Xon/Xoff"));
        QCOMPARE(panel1->text(QAccessible::Description), QString("Link"));
        auto *panel2 = QAccessible::queryAccessibleInterface(find<QLabel>("StatusBar1Panel2"));
        QCOMPARE(panel2->text(QAccessible::Description), QString("Mode"));
        auto *button = QAccessible::queryAccessibleInterface(find<QPushButton>("cmdZELApp"));
        QCOMPARE(button->text(QAccessible::Name), QString("Add App..."));
    }

    void cancelButtonRaisesTheFlags() {
        load();
        m_window->cmdCancel_Click();
        QVERIFY(m_state->mblnAbort);
        QVERIFY(m_state->mblnDownloadDone);
        QCOMPARE(m_window->status(), QString("Please Wait..."));
    }

    void closingInTheMiddleOfAWaitEndsPromptly() {
        frmMain &w = load();
        QVERIFY(w.serialPort().isOpen());
        w.linkTimers().tmrSend().start(100000);
        QTimer::singleShot(20, &w, [&w] { w.cmdClose_Click(); });
        QByteArray reply;
        float timeout = 1e6; // far beyond any test
        QElapsedTimer real;
        real.start();
        w.serialLink().CommReceive(reply, 14, timeout);
        QVERIFY(real.elapsed() < 10000);
        QVERIFY(m_state->mblnExitApp);
        QVERIFY(!w.serialPort().isOpen());
        QVERIFY(!w.linkTimers().tmrSend().isActive());
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"

#include "frmMain.h"

#include "Cancel.h"
#include "DownloadCommand.h"
#include "DownloadSetPanel.h"
#include "FileDropTarget.h"
#include "FileTransfer.h"
#include "InstanceLock.h"
#include "LinkDescription.h"
#include "LinkTimers.h"
#include "LookupStage.h"
#include "ModelSequences.h"
#include "PrinterSelection.h"
#include "QtFileChooser.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "UnconnectedSocket.h"
#include "frmMsg.h"
#include "modMain.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

const QString frmMain::kBlankStatus = QString(59, QLatin1Char(' '));

frmMain::frmMain(SharedState &state, SettingsStore &store, InstanceLock *instanceLock,
                 QWidget *parent)
    : QMainWindow(parent), m_state(state), m_store(store), m_instanceLock(instanceLock) {
    m_ui.setupUi(this);
    m_MSComm1 = new SerialPortControl(this);
    m_MSComm1->setObjectName(QStringLiteral("MSComm1"));
    m_serial = new SerialLink(m_state, m_store, *m_MSComm1, *this, this);
    m_timers = new LinkTimers(m_state, *m_serial, *this, this);
    m_timers->tmrSend().setObjectName(QStringLiteral("tmrSend"));
    m_timers->tmrKeepAlive().setObjectName(QStringLiteral("tmrKeepAlive"));
    // The TCP/IP link joins here; until then it reports "not connected".
    m_Winsock1 = std::make_unique<UnconnectedSocket>();
    m_transfer = std::make_unique<FileTransfer>(m_state, m_store, *this, *m_serial, *m_Winsock1);
    m_lookups = std::make_unique<LookupStage>(m_state, *this, *m_serial, *m_transfer);
    m_models = std::make_unique<ModelSequences>(m_state, m_store, *this, *m_serial, *m_transfer);
    m_download = std::make_unique<DownloadCommand>(m_state, *this, *m_serial, *m_Winsock1,
                                                   *m_transfer, *m_lookups, *m_models, m_timers);
    m_frmMsg = new frmMsg(m_store, this);
    createEditor();
    connectCommands();
}

void frmMain::createEditor() {
    const WindowHooks hooks{[this] { Status_Caption(); }, [this] { CenterForm(); },
                            [this](int twips) {
                                setViewWidth(twips);
                            }};
    m_fileDialog = std::make_unique<QtFileChooser>();
    m_setPanel = new DownloadSetPanel(*this, m_ui, m_state, *this, *m_serial, *m_Winsock1,
                                      *m_fileDialog, hooks, this);
    m_printers = new PrinterSelection(*this, m_ui, m_state, m_store, *this, *m_serial, *m_setPanel,
                                      hooks, this);
    m_drops = new FileDropTarget(*this, m_ui, *m_setPanel, this);
}

void frmMain::setFileChooser(FileChooser &chooser) {
    m_setPanel->setFileChooser(chooser);
}

void frmMain::Status_Caption() {
    m_models->Status_Caption();
}

frmMain::~frmMain() = default;

void frmMain::connectCommands() {
    connect(m_ui.cmdClose, &QPushButton::clicked, this, &frmMain::cmdClose_Click);
    connect(m_ui.cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(m_ui.mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);
    connect(m_ui.cmdDownload, &QPushButton::clicked, this, &frmMain::cmdDownload_Click);
    connect(m_ui.mnuFileDownload, &QAction::triggered, this, &frmMain::cmdDownload_Click);
    connect(m_ui.mnuHelpContents, &QAction::triggered, this, &frmMain::mnuHelpContents_Click);
    connect(m_ui.mnuDefaultCheck, &QAction::triggered, this, &frmMain::mnuDefaultCheck_Click);
    connect(m_frmMsg, &frmMsg::neverChanged, this, [this](bool never) {
        m_ui.mnuDefaultCheck->setChecked(!never);
        m_state.mblnNeverShowDefault = never;
    });
    connect(m_ui.Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction *action) { Toolbar1_ButtonClick(action->data().toString()); });
}

void frmMain::Form_Load() {
    // 1-2: the two lists
    m_setPanel->fillFirstLookupList();
    m_printers->fillPrinterList();

    // 3-4: printer and link mode; a value that does not convert leaves its
    // variable as it was, a number outside the list selects nothing. A new
    // selection runs the model's rules.
    const auto selectSavedPrinter = [this] {
        if (const auto v = SettingText::toInt16(m_store.read(QStringLiteral("Printer"), "0")))
            m_state.mintPrinter = *v;
        if (m_state.mintPrinter >= 0 && m_state.mintPrinter < m_ui.cboPrinter->count())
            m_ui.cboPrinter->setCurrentIndex(m_state.mintPrinter);
    };
    selectSavedPrinter();
    if (const auto v = SettingText::toInt16(m_store.read(QStringLiteral("Mode"), "0")))
        m_state.mintMode = *v;

    // 5: the link of the saved mode
    const auto readAddress = [this] {
        m_state.gstrIPAddress =
            m_store.read(QStringLiteral("IPAddress"), QLatin1String(SettingDefaults::kIPAddress));
        if (const auto v = SettingText::toInt32(
                m_store.read(QStringLiteral("IPPort"), QLatin1String(SettingDefaults::kIPPort))))
            m_state.glngIPPort = *v;
    };
    if (m_state.mintMode == 0) {
        m_state.modeOption = 0;
        m_serial->GetPortSettings();
        showSerialLinkDescription();
    } else if (m_state.mintMode == 1) {
        readAddress();
        setStatus(kBlankStatus);
        showSocketLinkDescription();
    }

    // 6-8: flags, commands, the download set
    m_state.mblnAbort = false;
    m_state.mblnBreakSeen = false;
    setDownloadCommandsEnabled(false);
    m_ui.cmdCancel->setEnabled(false);
    m_ui.cmdZELRemove->setEnabled(false);
    m_ui.cmdRemoveFmt->setEnabled(false);
    m_state.gintLookupCount = 0;
    m_state.mstrFormatFileName.clear();
    m_state.mstrFormatFileTitle.clear();

    // 9-12: the serial port is configured and opened whatever the mode
    m_serial->GetPortSettings();
    m_serial->SetPort();
    readAddress();
    m_state.mblnConnected = false;
    m_state.mblnSendComplete = false;

    // 13-14
    selectSavedPrinter();
    const auto readBool = [this](const char *key, bool &target) {
        if (const auto v = SettingText::toBool(m_store.read(QLatin1String(key), "False")))
            target = *v;
    };
    readBool("LLU", m_state.mblnLookupView);
    readBool("NeverShowDefault", m_state.mblnNeverShowDefault);
    readBool("PassThru", m_state.mblnPassThru);

    // 15: the menu entry mirrors the prompt's "Don't show again" inverted
    m_ui.mnuDefaultCheck->setChecked(!m_state.mblnNeverShowDefault);
    m_frmMsg->chkNever->setChecked(m_state.mblnNeverShowDefault);

    // 16: the view; the standard one empties the lookup list
    m_printers->restoreView(m_state.mblnLookupView);

    // 17: the keypad comes up with pass-through as it was left
    if (m_state.mintPrinter == Printers::K72e && m_state.mblnPassThru)
        m_ui.chkPassThru->setChecked(true);

    // 18-19
    m_helpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/ZELDL.chm");
    for (QWidget *w :
         {static_cast<QWidget *>(m_ui.Label4), static_cast<QWidget *>(m_ui.lblFormat),
          static_cast<QWidget *>(m_ui.cmdAddFmt), static_cast<QWidget *>(m_ui.cmdRemoveFmt)})
        w->setEnabled(false);
    setProgressVisible(false);

    // 20-21: open the port again; in TCP/IP mode a serial message would
    // only confuse.
    m_serial->OpenPort();
    if (m_state.mintMode == 1)
        setStatus(kBlankStatus);
}

void frmMain::showSerialLinkDescription() {
    m_ui.StatusBar1Panel1->setText(LinkDescription::serial(m_state));
    setModePanel(LinkDescription::serialMode());
}

void frmMain::showSocketLinkDescription() {
    m_ui.StatusBar1Panel1->setText(LinkDescription::socket(m_state));
    setModePanel(LinkDescription::socketMode());
}

int frmMain::twipsToPixels(int twips) const {
    const QScreen *s = screen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return qRound(twips * dpi / 1440.0);
}

void frmMain::setViewWidth(int twips) {
    // The left frames keep the standard width; the lookup frame takes the rest.
    const int standard = twipsToPixels(kStandardWidthTwips);
    const QMargins margins = centralWidget()->layout()->contentsMargins();
    m_ui.leftColumn->setFixedWidth(standard - margins.left() - margins.right());
    setFixedWidth(twipsToPixels(twips));
}

void frmMain::CenterForm() {
    const QScreen *s = screen();
    if (!s)
        return;
    const QRect area = s->geometry();
    const QSize size = frameGeometry().size();
    move(area.left() + (area.width() - size.width()) / 2,
         area.top() + (area.height() - size.height()) / 2);
}

void frmMain::bringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    showNormal();
    raise();
    activateWindow();
}

void frmMain::cmdCancel_Click() {
    CancelDownload(m_state, *this);
}

void frmMain::mnuFileExit_Click() {
    cmdClose_Click();
}

void frmMain::Toolbar1_ButtonClick(const QString &key) {
    if (key == QLatin1String("Download"))
        cmdDownload_Click();
    else if (key == QLatin1String("Help"))
        mnuHelpContents_Click();
    else if (key == QLatin1String("Exit"))
        mnuFileExit_Click();
    // Mode, CommSet, TCP/IP and About open their dialogs once those exist.
}

void frmMain::cmdDownload_Click() {
    // The commands are disabled while a download runs; a queued click that
    // slips through must not start a second one inside the first.
    if (!m_ui.cmdDownload->isEnabled())
        return;
    // Without its sequence a model would get the lookups and the closing
    // packet but not the application: refuse before anything is sent.
    if (!ModelSequences::hasSequence(m_state.mintPrinter)) {
        QMessageBox box(QMessageBox::Information, SettingsStore::applicationName(),
                        QStringLiteral("Downloads to the %1 are not available in this version.")
                            .arg(m_ui.cboPrinter->currentText()),
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    m_download->cmdDownload_Click();
}

void frmMain::mnuHelpContents_Click() {
    const QString title = SettingsStore::applicationName();
    if (m_helpFile.isEmpty()) {
        QMessageBox::information(this, title, QStringLiteral("This option will display help."));
        return;
    }
    QString problem;
    if (!QFileInfo::exists(m_helpFile))
        problem = QStringLiteral("The help file %1 was not found.").arg(m_helpFile);
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_helpFile)))
        problem = QStringLiteral("No program is set up to open the help file %1.").arg(m_helpFile);
    if (!problem.isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, title, problem, QMessageBox::Ok, this);
        box.exec();
    }
}

void frmMain::mnuDefaultCheck_Click() {
    // The entry has already toggled: checked now means the prompt is wanted.
    const bool never = !m_ui.mnuDefaultCheck->isChecked();
    m_frmMsg->chkNever->setChecked(never);
    m_state.mblnNeverShowDefault = never;
    m_store.write(QStringLiteral("NeverShowDefault"), SettingText::fromBool(never));
}

void frmMain::SaveIt() {
    m_store.write(QStringLiteral("Comport"), SettingText::fromInt(m_state.gintComPort));
    m_store.write(QStringLiteral("Settings"), m_state.gstrSettings);
    m_store.write(QStringLiteral("Handshaking"), SettingText::fromInt(m_state.gintHandshaking));
    m_store.write(QStringLiteral("Timeout"), SettingText::fromSingle(m_state.msngTimeout));
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mintMode));
    if (m_state.mintMode == 0) {
        m_state.modeOption = 0;
        m_ui.StatusBar1Panel1->setText(LinkDescription::serial(m_state));
    }
}

void frmMain::cmdClose_Click() {
    m_state.mblnExitApp = true;
    m_serial->ClosePort();
    m_Winsock1->SockClose();
    m_timers->tmrSend().stop();
    ReleaseSingleInstance();
}

void frmMain::ReleaseSingleInstance() {
    ::ReleaseSingleInstance(m_state, m_instanceLock);
}

void frmMain::closeEvent(QCloseEvent *event) {
    // A system close first releases the lock, then unloads through the close path.
    if (!m_state.mblnExitApp) {
        ReleaseSingleInstance();
        cmdClose_Click();
    }
    event->accept();
}

void frmMain::setStatus(const QString &text) {
    const bool changed = m_ui.lblStatus->text() != text;
    m_ui.lblStatus->setText(text);
    if (changed) {
        // A screen reader announces the new status as it comes.
        QAccessibleEvent event(m_ui.lblStatus, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT statusWritten(text);
}

QString frmMain::status() const {
    return m_ui.lblStatus->text();
}

void frmMain::setProgressValue(int percent) {
    m_ui.ProgressBar1->setValue(percent);
}

void frmMain::setProgressVisible(bool visible) {
    m_ui.ProgressBar1->setVisible(visible);
}

void frmMain::setCaption(const QString &caption) {
    setWindowTitle(caption);
}

bool frmMain::isPassThruChecked() const {
    // Leaving the keypad only hides the box; for another model a box still
    // checked behind it would keep the Download commands locked after a
    // download.
    return m_ui.chkPassThru->isChecked() && m_ui.cboPrinter->currentIndex() == Printers::K72e;
}

void frmMain::setDownloadCommandsEnabled(bool enabled) {
    m_ui.cmdDownload->setEnabled(enabled);
    m_ui.mnuFileDownload->setEnabled(enabled);
    m_ui.tbrDownload->setEnabled(enabled);
}

void frmMain::setModePanel(const QString &text) {
    m_ui.StatusBar1Panel2->setText(text);
}

void frmMain::setDownloadLocked(bool locked) {
    m_ui.cmdClose->setEnabled(!locked);
    m_ui.cmdCancel->setEnabled(locked);
    for (QWidget *frame :
         {static_cast<QWidget *>(m_ui.fraPrinter), static_cast<QWidget *>(m_ui.fraZELLookup),
          static_cast<QWidget *>(m_ui.fraZELApp), static_cast<QWidget *>(m_ui.fraFormat)})
        frame->setEnabled(!locked);
}

void frmMain::focusDownloadButton() {
    m_ui.cmdDownload->setFocus();
}

bool frmMain::isAppFileShown() const {
    return !m_ui.lblZELAppFilename->text().isEmpty();
}

int frmMain::lookupCount() const {
    return m_ui.lstLookups->count();
}

int frmMain::firstLookupNumber() const {
    return std::max(0, m_ui.cboLUStart->currentIndex());
}

int frmMain::selectedLookup() const {
    return m_ui.lstLookups->currentRow();
}

void frmMain::selectLookup(int index) {
    m_ui.lstLookups->setCurrentRow(index);
    m_ui.lstPaths->setCurrentRow(index);
}

QString frmMain::lookupName(int index) const {
    const QListWidgetItem *item = m_ui.lstLookups->item(index);
    return item ? item->text() : QString();
}

QString frmMain::lookupPath(int index) const {
    const QListWidgetItem *item = m_ui.lstPaths->item(index);
    return item ? item->text() : QString();
}

bool frmMain::isDefaultPromptSuppressed() const {
    return m_frmMsg->chkNever->isChecked();
}

int frmMain::askDefaultSettings(const QString &description) {
    m_frmMsg->setDescription(description);
    return m_frmMsg->ask();
}

#include "MainWindow.h"

#include "Cancel.h"
#include "DefaultSettingsPrompt.h"
#include "DownloadEngine.h"
#include "DownloadSet.h"
#include "DownloadSetPanel.h"
#include "FileDropTarget.h"
#include "HelpTarget.h"
#include "InstanceLock.h"
#include "LinkDescription.h"
#include "LinkTimers.h"
#include "PrinterModels.h"
#include "PrinterSelection.h"
#include "QtFileChooser.h"
#include "RatePanel.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SetFileCommands.h"
#include "SettingsCommands.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"
#include "Startup.h"
#include "StatusHistory.h"
#include "StatusLine.h"
#include "StoredValues.h"
#include "TrafficPane.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

const QString MainWindow::kBlankStatus = QString(59, QLatin1Char(' '));

namespace {
// Whether the Traffic pane shows; no other part of the program writes it.
const char *const kTrafficPaneKey = "TrafficPane";
} // namespace

MainWindow::MainWindow(SharedState &state, DownloadSet &set, SettingsStore &store,
                       InstanceLock *instanceLock, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_set(set), m_store(store),
      m_instanceLock(instanceLock) {
    m_ui.setupUi(this);
    m_serialPort = new SerialPortControl(this);
    m_serialPort->setObjectName(QStringLiteral("serialPort"));
    m_serial = new SerialLink(m_state, *m_serialPort, *this, this);
    m_socketControl = new SocketControl(this);
    // Its keep-alive timer is named "keepAliveTimer".
    m_socket = new SocketLink(m_state, *this, *m_socketControl, this);
    m_timers = new LinkTimers(m_state, *m_serial, *m_socket, *this, this);
    m_timers->resetTimer().setObjectName(QStringLiteral("resetTimer"));
    m_engine = std::make_unique<DownloadEngine>(m_state, m_set, m_store, *this, *m_serial,
                                                *m_socket, m_timers);
    // Before anything can write a status.
    createTrafficView();
    m_prompt = new DefaultSettingsPrompt(m_store, this);
    m_settings =
        new SettingsCommands(*this, m_state, m_store, *m_serialPort, *m_socket, *this, this);
    createEditor();
    connectCommands();
}

void MainWindow::createTrafficView() {
    m_serial->setTrafficRecorder(&m_trace);
    m_socket->setTrafficRecorder(&m_trace);
    m_history = new StatusHistory(this);
    m_statusLine = StatusLine::takePlaceOf(m_ui.statusLabel);
    m_ui.statusLabel = m_statusLine;
    connect(m_statusLine, &StatusLine::activated, this, &MainWindow::showStatusHistory);
    m_ratePanel = new RatePanel(m_engine->sender, m_ui.statusBarWidget);
    m_ui.statusBarWidget->addWidget(m_ratePanel);

    m_trafficDock = new QDockWidget(QStringLiteral("Traffic"), this);
    m_trafficDock->setObjectName(QStringLiteral("trafficDock"));
    m_trafficDock->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    addDockWidget(Qt::BottomDockWidgetArea, m_trafficDock);
    m_trafficDock->hide();
    QAction *toggle = m_trafficDock->toggleViewAction();
    toggle->setObjectName(QStringLiteral("trafficAction"));
    toggle->setText(QStringLiteral("&Traffic"));
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    toggle->setChecked(false);
    m_ui.viewMenu->addSeparator()->setObjectName(QStringLiteral("trafficSeparator"));
    m_ui.viewMenu->addAction(toggle);
    // Also when its own close button hides the pane.
    connect(toggle, &QAction::toggled, this, &MainWindow::trafficPaneToggled);
}

void MainWindow::trafficPaneToggled(bool shown) {
    if (shown && !m_trafficPane) {
        m_trafficPane = new TrafficPane(m_trace, *m_history, m_trafficDock);
        m_trafficDock->setWidget(m_trafficPane);
    }
    if (shown) {
        // Once laid out, the window makes room for the pane.
        QTimer::singleShot(0, this, &MainWindow::makeRoomForTrafficPane);
    } else if (m_trafficRoom > 0) {
        // and gives the room back.
        resize(width(), height() - m_trafficRoom);
        m_trafficRoom = 0;
    }
    if (shown != m_trafficShownStored && !m_state.exitRequested) {
        m_trafficShownStored = shown;
        m_store.write(QLatin1String(kTrafficPaneKey), SettingText::fromBool(shown));
    }
}

void MainWindow::makeRoomForTrafficPane() {
    const QScreen *s = screen();
    if (!m_trafficDock->isVisible() || m_trafficDock->isFloating() || !s ||
        (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const int room = std::min(m_trafficDock->sizeHint().height() - m_trafficDock->height(),
                              s->availableGeometry().height() - frameGeometry().height());
    if (room <= 0)
        return;
    m_trafficRoom += room;
    resize(width(), height() + room);
}

void MainWindow::showTrafficPane(bool shown) {
    m_trafficDock->toggleViewAction()->setChecked(shown);
    m_trafficDock->setVisible(shown);
}

void MainWindow::showStatusHistory() {
    showTrafficPane(true);
    m_trafficPane->showHistory();
}

void MainWindow::createEditor() {
    const WindowHooks hooks{[this] { showOperatorPrompt(); }, [this] { centerWindow(); },
                            [this](int width) {
                                setViewWidth(width);
                            }};
    m_fileDialog = std::make_unique<QtFileChooser>();
    m_setPanel = new DownloadSetPanel(*this, m_ui, m_set, *this, *m_serial, *m_socket,
                                      *m_fileDialog, hooks, this);
    m_printers = new PrinterSelection(*this, m_ui, m_state, m_store, *this, *m_serial, *m_setPanel,
                                      hooks, this);
    m_drops = new FileDropTarget(*this, m_ui, *m_setPanel, this);
    m_setFiles =
        new SetFileCommands(*this, m_ui, m_state, m_store, *this, *m_serial, *m_socket, *m_setPanel,
                            *m_printers, *m_ui.openSetAction, *m_ui.recentSetsMenu, this);
    m_drops->setSetFiles(*m_setFiles);
}

void MainWindow::setFileChooser(FileChooser &chooser) {
    m_setPanel->setFileChooser(chooser);
}

void MainWindow::showOperatorPrompt() {
    m_engine->models.showOperatorPrompt();
}

MainWindow::~MainWindow() {
    // The window's children go after its members: nothing may reach the
    // recorder once it has gone.
    m_serial->setTrafficRecorder(nullptr);
    m_socket->setTrafficRecorder(nullptr);
    delete m_trafficDock;
}

void MainWindow::connectCommands() {
    connect(m_ui.closeButton, &QPushButton::clicked, this, &MainWindow::closeProgram);
    connect(m_ui.cancelButton, &QPushButton::clicked, this, &MainWindow::cancelDownload);
    connect(m_ui.exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(m_ui.downloadButton, &QPushButton::clicked, this, &MainWindow::startDownload);
    connect(m_ui.downloadAction, &QAction::triggered, this, &MainWindow::startDownload);
    connect(m_ui.helpContentsAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(m_ui.defaultCheckAction, &QAction::triggered, this, &MainWindow::toggleDefaultCheck);
    connect(m_ui.modeAction, &QAction::triggered, m_settings, &SettingsCommands::chooseMode);
    connect(m_ui.commAction, &QAction::triggered, m_settings, &SettingsCommands::editCommSettings);
    connect(m_ui.tcpipAction, &QAction::triggered, m_settings,
            &SettingsCommands::editTcpIpSettings);
    connect(m_ui.timeoutAction, &QAction::triggered, m_settings, &SettingsCommands::editTimeout);
    connect(m_ui.aboutAction, &QAction::triggered, m_settings, &SettingsCommands::showAbout);
    connect(m_ui.saveSetAction, &QAction::triggered, m_setFiles, &SetFileCommands::saveSetAs);
    connect(m_prompt, &DefaultSettingsPrompt::neverChanged, this, [this](bool never) {
        m_ui.defaultCheckAction->setChecked(!never);
        m_state.neverShowDefault = never;
    });
    connect(m_ui.toolBar, &QToolBar::actionTriggered, this,
            [this](QAction *action) { toolbarButtonClicked(action->data().toString()); });
}

void MainWindow::restoreSettings() {
    // the two lists
    m_setPanel->fillFirstLookupList();
    m_printers->fillPrinterList();

    // printer and link mode; every value is checked as it is read, and one
    // out of range gives the default (the store keeps it until saved)
    StoredValues stored(m_store);
    m_state.printer = qint16(
        stored.number(QStringLiteral("Printer"), 0, 0, int(PrinterModels::all().size()) - 1));
    m_printers->restorePrinter(m_state.printer);
    m_state.mode = qint16(stored.number(QStringLiteral("Mode"), 0, 0, 1));
    m_state.lookupView = stored.flag(QStringLiteral("LLU"), false);
    m_state.neverShowDefault = stored.flag(QStringLiteral("NeverShowDefault"), false);
    m_state.passThrough = stored.flag(QStringLiteral("PassThru"), false);
    // A printer that refuses TCP/IP runs on the serial link, whatever was stored.
    const PrinterModel &model = *PrinterModels::find(m_state.printer);
    if (m_state.mode == 1 && !PrinterModels::allowsTcp(model, m_state.passThrough)) {
        m_state.mode = 0;
        stored.noteReplaced(QStringLiteral("Mode"));
    }

    // the link of the saved mode
    const auto readAddress = [&] {
        m_state.ipAddress = stored.hostAddress(QStringLiteral("IPAddress"),
                                               QLatin1String(SettingDefaults::kIPAddress));
        m_state.ipPort = stored.number(QStringLiteral("IPPort"), 9100, 1, 65535);
    };
    if (m_state.mode == 0) {
        m_state.modeOption = 0;
        m_serial->loadPortSettings(stored);
        showSerialLinkDescription();
    } else if (m_state.mode == 1) {
        readAddress();
        setStatus(kBlankStatus);
        showSocketLinkDescription();
    }

    // flags, commands, the download set
    m_state.abortRequested = false;
    m_state.breakSeen = false;
    setDownloadCommandsEnabled(false);
    m_ui.cancelButton->setEnabled(false);
    m_ui.removeAppButton->setEnabled(false);
    m_set.clearFormat();

    // the serial port is configured and opened whatever the mode
    m_serial->loadPortSettings(stored);
    m_serial->configurePort();
    readAddress();
    // The dialogs write the time-out they hold: never a "0" nobody chose.
    m_state.dialogTimeout = m_state.replyTimeout;
    m_state.dialogTimeoutText = SettingText::fromSingle(m_state.replyTimeout);

    // the menu entry mirrors the prompt's "Don't show again" inverted
    m_ui.defaultCheckAction->setChecked(!m_state.neverShowDefault);
    m_prompt->neverBox->setChecked(m_state.neverShowDefault);

    // the view; the standard one empties the lookup list
    m_printers->restoreView(m_state.lookupView);

    // the keypad comes up with pass-through as it was left
    if (PrinterModels::passesThrough(m_state.printer) && m_state.passThrough)
        m_ui.passThroughBox->setChecked(true);

    m_helpFile = HelpTarget::find(QCoreApplication::applicationDirPath());
    for (QWidget *w :
         {static_cast<QWidget *>(m_ui.formatLabel), static_cast<QWidget *>(m_ui.formatFileLabel),
          static_cast<QWidget *>(m_ui.addFormatButton),
          static_cast<QWidget *>(m_ui.removeFormatButton)})
        w->setEnabled(false);
    setProgressVisible(false);

    // open the port again; in TCP/IP mode a serial message would
    // only confuse.
    m_serial->openPort();
    if (m_state.mode == 1)
        setStatus(kBlankStatus);

    // the Traffic pane as it was left
    m_trafficShownStored = stored.flag(QLatin1String(kTrafficPaneKey), false);
    showTrafficPane(m_trafficShownStored);
    if (!stored.replacedText().isEmpty())
        setStatus(stored.replacedText());
}

void MainWindow::showSerialLinkDescription() {
    m_ui.linkPanel->setText(LinkDescription::serial(m_state));
    setModePanel(LinkDescription::serialMode());
}

void MainWindow::showSocketLinkDescription() {
    m_ui.linkPanel->setText(LinkDescription::socket(m_state));
    setModePanel(LinkDescription::socketMode());
}

int MainWindow::scaledWidth(int width) const {
    const QScreen *s = screen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return qRound(width * dpi / 96.0);
}

void MainWindow::setViewWidth(int width) {
    // The left frames keep the standard width; the lookup frame takes the rest.
    const int standard = scaledWidth(PrinterSelection::kStandardWidth);
    const QMargins margins = centralWidget()->layout()->contentsMargins();
    m_ui.leftColumn->setFixedWidth(standard - margins.left() - margins.right());
    setFixedWidth(scaledWidth(width));
}

void MainWindow::centerWindow() {
    const QScreen *s = screen();
    if (!s)
        return;
    const QRect area = s->geometry();
    const QSize size = frameGeometry().size();
    move(area.left() + (area.width() - size.width()) / 2,
         area.top() + (area.height() - size.height()) / 2);
}

void MainWindow::bringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::cancelDownload() {
    requestCancel(m_state, *this);
}

void MainWindow::exitProgram() {
    closeProgram();
}

void MainWindow::toolbarButtonClicked(const QString &key) {
    if (key == QLatin1String("Mode"))
        m_settings->chooseMode();
    else if (key == QLatin1String("CommSet"))
        m_settings->editCommSettings();
    else if (key == QLatin1String("TCP/IP"))
        m_settings->editTcpIpSettings();
    else if (key == QLatin1String("Download"))
        startDownload();
    else if (key == QLatin1String("Help"))
        showHelp();
    else if (key == QLatin1String("About"))
        m_settings->showAbout();
    else if (key == QLatin1String("Exit"))
        exitProgram();
}

void MainWindow::startDownload() {
    // The commands are disabled while a download runs; a queued click that
    // slips through must not start a second one inside the first.
    if (!m_ui.downloadButton->isEnabled())
        return;
    m_trace.restartClock();
    m_engine->command.run();
}

void MainWindow::showInformation(const QString &title, const QString &text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::showHelp() {
    const QString title = SettingsStore::applicationName();
    if (m_helpFile.isEmpty()) {
        const QString dir = QCoreApplication::applicationDirPath();
        QMessageBox box(
            QMessageBox::NoIcon, title,
            QStringLiteral("The user guide was not found: neither %1/ZELDL.chm nor "
                           "the guide installed with the program (%2). Installing "
                           "the program again restores it.")
                .arg(dir, QDir::cleanPath(dir + QStringLiteral("/../share/zeldl/guide"))),
            QMessageBox::Ok, this);
        box.exec();
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

void MainWindow::toggleDefaultCheck() {
    // The entry has already toggled: checked now means the prompt is wanted.
    const bool never = !m_ui.defaultCheckAction->isChecked();
    m_prompt->neverBox->setChecked(never);
    m_state.neverShowDefault = never;
    m_store.write(QStringLiteral("NeverShowDefault"), SettingText::fromBool(never));
}

void MainWindow::saveLinkSettings() {
    m_store.write(QStringLiteral("Comport"), SettingText::fromInt(m_state.comPort));
    m_store.write(QStringLiteral("Settings"), m_state.lineSettings);
    m_store.write(QStringLiteral("Handshaking"), SettingText::fromInt(m_state.handshaking));
    m_store.write(QStringLiteral("Timeout"), SettingText::fromSingle(m_state.replyTimeout));
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
    if (m_state.mode == 0) {
        m_state.modeOption = 0;
        m_ui.linkPanel->setText(LinkDescription::serial(m_state));
    }
}

void MainWindow::closeProgram() {
    m_state.exitRequested = true;
    m_serial->closePort();
    m_socket->closeConnection();
    m_timers->resetTimer().stop();
    releaseSingleInstance();
}

void MainWindow::releaseSingleInstance() {
    ::releaseSingleInstance(m_state, m_instanceLock);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    // A system close first releases the lock, then unloads through the close path.
    if (!m_state.exitRequested) {
        releaseSingleInstance();
        closeProgram();
    }
    event->accept();
}

void MainWindow::setStatus(const QString &text) {
    const bool changed = m_statusLine->text() != text;
    m_statusLine->setText(text);
    if (changed) {
        // A screen reader announces the new status as it comes.
        QAccessibleEvent event(m_ui.statusLabel, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    m_history->record(text);
    Q_EMIT statusWritten(text);
}

QString MainWindow::status() const {
    return m_ui.statusLabel->text();
}

void MainWindow::setProgressValue(int percent) {
    m_ui.progressBar->setValue(percent);
}

void MainWindow::setProgressVisible(bool visible) {
    m_ui.progressBar->setVisible(visible);
}

void MainWindow::setCaption(const QString &caption) {
    setWindowTitle(caption);
}

bool MainWindow::isPassThruChecked() const {
    // Leaving the keypad only hides the box; for another model a box still
    // checked behind it would keep the Download commands locked after a
    // download.
    return m_ui.passThroughBox->isChecked() &&
           PrinterModels::passesThrough(m_ui.printerList->currentIndex());
}

void MainWindow::setDownloadCommandsEnabled(bool enabled) {
    m_ui.downloadButton->setEnabled(enabled);
    m_ui.downloadAction->setEnabled(enabled);
    m_ui.toolbarDownload->setEnabled(enabled);
}

void MainWindow::setModePanel(const QString &text) {
    m_ui.modePanel->setText(text);
}

void MainWindow::setLinkPanel(const QString &text) {
    m_ui.linkPanel->setText(text);
}

void MainWindow::setDownloadLocked(bool locked) {
    m_ratePanel->setActive(locked);
    m_ui.closeButton->setEnabled(!locked);
    m_ui.cancelButton->setEnabled(locked);
    for (QWidget *frame :
         {static_cast<QWidget *>(m_ui.printerGroup), static_cast<QWidget *>(m_ui.lookupGroup),
          static_cast<QWidget *>(m_ui.applicationGroup), static_cast<QWidget *>(m_ui.formatGroup)})
        frame->setEnabled(!locked);
    // Changing the view or the link under a running wait would empty the
    // set or close the port it waits on.
    for (QAction *action : {m_ui.standardViewAction, m_ui.lookupViewAction, m_ui.modeAction,
                            m_ui.commAction, m_ui.tcpipAction, m_ui.timeoutAction, m_ui.toolbarMode,
                            m_ui.toolbarComm, m_ui.toolbarTcpip, m_ui.openSetAction,
                            m_ui.saveSetAction, m_ui.recentSetsMenu->menuAction()})
        action->setEnabled(!locked);
}

void MainWindow::focusDownloadButton() {
    m_ui.downloadButton->setFocus();
}

void MainWindow::selectLookup(int index) {
    m_ui.lookupList->setCurrentRow(index);
}

bool MainWindow::isDefaultPromptSuppressed() const {
    return m_prompt->neverBox->isChecked();
}

int MainWindow::askDefaultSettings(const QString &description) {
    m_prompt->setDescription(description);
    return m_prompt->ask();
}

#include "MainWindowUi.h"

#include "ControlNames.h"
#include "SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

using ControlNames::named;
using ControlNames::tipped;

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &tip) {
    return tipped(named(new QPushButton(caption, parent), name), tip);
}

QLabel *label(QWidget *parent, const char *name, const QString &caption) {
    auto *l = named(new QLabel(caption, parent), name);
    return l;
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption) {
    auto *action = named(menu->addAction(caption), name);
    return action;
}

QAction *separator(QMenu *menu, const char *name) {
    return named(menu->addSeparator(), name);
}

// The desktop theme's icon named `themeName`, so that the toolbar looks
// native; our own drawing where the theme has none.
QIcon themedIcon(const char *themeName, const char *ownName) {
    QIcon own;
    for (const int size : {16, 24, 32, 48})
        own.addFile(QStringLiteral(":/zeldl/toolbar/png/%1/%2.png")
                        .arg(QString::number(size), QLatin1String(ownName)),
                    QSize(size, size));
    return QIcon::fromTheme(QLatin1String(themeName), own);
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/zeldl/icons/hicolor/%1x%1/apps/zeldl.png").arg(size),
                     QSize(size, size));
    return icon;
}

QAction *toolButton(QToolBar *bar, const char *key, const QString &tip, const char *imageKey,
                    const QIcon &icon) {
    QAction *action = bar->addAction(icon, tip);
    action->setObjectName(QLatin1String(key));
    action->setToolTip(tip);
    action->setData(QLatin1String(key));
    action->setProperty("imageKey", QLatin1String(imageKey));
    return action;
}

} // namespace

void MainWindowUi::setupUi(QMainWindow *window) {
    window->setObjectName(QStringLiteral("MainWindow"));
    window->setWindowTitle(SettingsStore::applicationName());
    // Set for the whole program: the dialogs and the About box show it too.
    QApplication::setWindowIcon(programIcon());
    window->setWindowIcon(QApplication::windowIcon());

    // Menus
    QMenuBar *bar = window->menuBar();
    fileMenu = named(bar->addMenu(QStringLiteral("&File")), "fileMenu");
    openSetAction = menuItem(fileMenu, "openSetAction", QStringLiteral("&Open Set..."));
    openSetAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    saveSetAction = menuItem(fileMenu, "saveSetAction", QStringLiteral("Save Set &As..."));
    saveSetAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    recentSetsMenu = named(fileMenu->addMenu(QStringLiteral("&Recent Sets")), "recentSetsMenu");
    recentSetsMenu->menuAction()->setObjectName(QStringLiteral("recentSetsAction"));
    setFileSeparator = separator(fileMenu, "setFileSeparator");
    downloadAction = menuItem(fileMenu, "downloadAction", QStringLiteral("&Download"));
    fileSeparator = separator(fileMenu, "fileSeparator");
    exitAction = menuItem(fileMenu, "exitAction", QStringLiteral("E&xit"));

    setupMenu = named(bar->addMenu(QStringLiteral("&Setup")), "setupMenu");
    modeAction = menuItem(setupMenu, "modeAction", QStringLiteral("&Mode..."));
    commAction = menuItem(setupMenu, "commAction", QStringLiteral("&Comm..."));
    tcpipAction = menuItem(setupMenu, "tcpipAction", QStringLiteral("&TCP/IP..."));
    timeoutAction = menuItem(setupMenu, "timeoutAction", QStringLiteral("&Timeout..."));

    viewMenu = named(bar->addMenu(QStringLiteral("&View")), "viewMenu");
    standardViewAction = menuItem(viewMenu, "standardViewAction", QStringLiteral("Standard"));
    lookupViewAction = menuItem(viewMenu, "lookupViewAction", QStringLiteral("w/Lookup File"));
    viewSeparator = separator(viewMenu, "viewSeparator");
    defaultCheckAction =
        menuItem(viewMenu, "defaultCheckAction", QStringLiteral("Default Comm Settings Check"));
    for (QAction *a : {standardViewAction, lookupViewAction, defaultCheckAction})
        a->setCheckable(true);

    helpMenu = named(bar->addMenu(QStringLiteral("&Help")), "helpMenu");
    helpContentsAction = menuItem(helpMenu, "helpContentsAction", QStringLiteral("&Contents..."));
    aboutAction = menuItem(helpMenu, "aboutAction", QStringLiteral("&About..."));

    // Toolbar: separator, Mode, CommSet, TCP/IP, Download, separator, Help,
    // About, separator, Exit.
    toolBar = named(new QToolBar(window), "toolBar");
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    window->addToolBar(toolBar);
    toolBar->addSeparator();
    toolbarMode = toolButton(toolBar, "Mode", QStringLiteral("Mode"), "Mode1",
                             themedIcon("preferences-system", "mode"));
    toolbarComm = toolButton(toolBar, "CommSet", QStringLiteral("Comm Settings"), "Comm1",
                             themedIcon("preferences-desktop-peripherals", "comm"));
    toolbarTcpip = toolButton(toolBar, "TCP/IP", QStringLiteral("TCP/IP"), "Macro",
                              themedIcon("network-wired", "tcpip"));
    toolbarDownload = toolButton(toolBar, "Download", QStringLiteral("Download"), "Bolt1",
                                 themedIcon("document-send", "download"));
    toolBar->addSeparator();
    toolButton(toolBar, "Help", QStringLiteral("Help"), "Help",
               themedIcon("help-contents", "help"));
    toolButton(toolBar, "About", QStringLiteral("About"), "About",
               themedIcon("help-about", "about"));
    toolBar->addSeparator();
    toolButton(toolBar, "Exit", QStringLiteral("Exit"), "Exit",
               themedIcon("application-exit", "exit"));

    auto *central = new QWidget(window);
    window->setCentralWidget(central);

    // Printer frame
    printerGroup = named(new QGroupBox(QStringLiteral("ZEL Printer"), central), "printerGroup");
    printerLabel = label(printerGroup, "printerLabel", QStringLiteral("Select Printer"));
    printerList =
        tipped(named(new QComboBox(printerGroup), "printerList"), QStringLiteral("Select Printer"));
    printerLabel->setBuddy(printerList);
    passThroughBox =
        named(new QCheckBox(QStringLiteral("Pass Through"), printerGroup), "passThroughBox");
    lookupBox = named(new QCheckBox(QStringLiteral("Lookup File"), printerGroup), "lookupBox");
    auto *printerLayout = new QGridLayout(printerGroup);
    printerLayout->addWidget(printerLabel, 0, 0);
    printerLayout->addWidget(printerList, 0, 1);
    printerLayout->addWidget(passThroughBox, 1, 0);
    printerLayout->addWidget(lookupBox, 1, 1);

    // Application frame
    applicationGroup =
        named(new QGroupBox(QStringLiteral("ZEL Application"), central), "applicationGroup");
    addAppButton = button(applicationGroup, "addAppButton", QStringLiteral("Add App..."),
                          QStringLiteral("Select ZEL App Filename for download"));
    removeAppButton = button(applicationGroup, "removeAppButton", QStringLiteral("Remove App"),
                             QStringLiteral("Clear ZEL App Filename from download"));
    applicationLabel =
        label(applicationGroup, "applicationLabel", QStringLiteral("ZEL App Filename"));
    appFileLabel = tipped(label(applicationGroup, "appFileLabel", QString()),
                          QStringLiteral("ZEL app filename"));
    auto *appLayout = new QGridLayout(applicationGroup);
    appLayout->addWidget(addAppButton, 0, 0);
    appLayout->addWidget(removeAppButton, 0, 1);
    appLayout->addWidget(applicationLabel, 1, 0, 1, 2);
    appLayout->addWidget(appFileLabel, 2, 0, 1, 2);

    // Format frame
    formatGroup = named(new QGroupBox(QStringLiteral("ZEL Formats"), central), "formatGroup");
    addFormatButton = button(formatGroup, "addFormatButton", QStringLiteral("Add Fmt..."),
                             QStringLiteral("Select Format Filename for download"));
    removeFormatButton = button(formatGroup, "removeFormatButton", QStringLiteral("Remove Fmt"),
                                QStringLiteral("Clear Format Filename from download"));
    formatLabel = label(formatGroup, "formatLabel", QStringLiteral("Format Filename"));
    formatFileLabel =
        tipped(label(formatGroup, "formatFileLabel", QString()), QStringLiteral("Format filename"));
    auto *formatLayout = new QGridLayout(formatGroup);
    formatLayout->addWidget(addFormatButton, 0, 0);
    formatLayout->addWidget(removeFormatButton, 0, 1);
    formatLayout->addWidget(formatLabel, 1, 0, 1, 2);
    formatLayout->addWidget(formatFileLabel, 2, 0, 1, 2);

    // Lookup frame
    lookupGroup = named(new QGroupBox(QStringLiteral("ZEL Lookups"), central), "lookupGroup");
    lookupList = tipped(named(new QListWidget(lookupGroup), "lookupList"),
                        QStringLiteral("ZEL lookups for download"));
    lookupList->setAccessibleName(QStringLiteral("ZEL Lookups"));
    addLookupButton = button(lookupGroup, "addLookupButton", QStringLiteral("Add..."),
                             QStringLiteral("Add lookup file to list"));
    removeLookupButton = button(lookupGroup, "removeLookupButton", QStringLiteral("Remove"),
                                QStringLiteral("Remove selected lookup file from list"));
    removeAllButton = button(lookupGroup, "removeAllButton", QStringLiteral("Remove All"),
                             QStringLiteral("Clear list"));
    upButton = button(lookupGroup, "upButton", QStringLiteral("Up"),
                      QStringLiteral("Move Lookup File Up in list"));
    downButton = button(lookupGroup, "downButton", QStringLiteral("Down"),
                        QStringLiteral("Move Lookup File Down in list"));
    firstLookupList = tipped(named(new QComboBox(lookupGroup), "firstLookupList"),
                             QStringLiteral("Select first lookup number"));
    firstLookupLabel = label(lookupGroup, "firstLookupLabel", QStringLiteral("First Lookup"));
    firstLookupLabel->setBuddy(firstLookupList);
    lookupNoteLabel = label(lookupGroup, "lookupNoteLabel",
                            QStringLiteral("Lookups are downloaded in the order selected"));
    lookupNoteLabel->setWordWrap(true);
    auto *lookupLayout = new QGridLayout(lookupGroup);
    lookupLayout->addWidget(lookupList, 0, 0, 5, 1);
    lookupLayout->addWidget(addLookupButton, 0, 1);
    lookupLayout->addWidget(removeLookupButton, 1, 1);
    lookupLayout->addWidget(removeAllButton, 2, 1);
    lookupLayout->addWidget(upButton, 3, 1);
    lookupLayout->addWidget(downButton, 4, 1);
    lookupLayout->addWidget(firstLookupLabel, 5, 0);
    lookupLayout->addWidget(firstLookupList, 5, 1);
    lookupLayout->addWidget(lookupNoteLabel, 6, 0, 1, 2);
    for (QPushButton *b : {removeLookupButton, removeAllButton, upButton, downButton})
        b->setEnabled(false);

    // Status line, progress and the command buttons
    statusLabel = named(new QLabel(QStringLiteral("Status"), central), "statusLabel");
    statusLabel->setAccessibleDescription(QStringLiteral("Status line"));
    // Long texts must not widen the window.
    statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progressBar = tipped(named(new QProgressBar(central), "progressBar"),
                         QStringLiteral("Download progress"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    downloadButton = button(central, "downloadButton", QStringLiteral("Download"),
                            QStringLiteral("Download ZEL app and lookups"));
    cancelButton = button(central, "cancelButton", QStringLiteral("Cancel"),
                          QStringLiteral("Cancel download"));
    closeButton = button(central, "closeButton", QStringLiteral("Close"),
                         QStringLiteral("Close this dialog"));

    leftColumn = new QWidget(central);
    auto *left = new QVBoxLayout(leftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(printerGroup);
    left->addWidget(applicationGroup);
    left->addWidget(formatGroup);
    left->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(leftColumn);
    top->addWidget(lookupGroup, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(downloadButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(closeButton);
    auto *outer = new QVBoxLayout(central);
    outer->addLayout(top);
    outer->addWidget(statusLabel);
    outer->addWidget(progressBar);
    outer->addLayout(buttons);

    // Status bar: panel 1 the link, panel 2 the mode
    statusBarWidget = named(new QStatusBar(window), "statusBarWidget");
    window->setStatusBar(statusBarWidget);
    linkPanel = named(new QLabel(statusBarWidget), "linkPanel");
    linkPanel->setAccessibleDescription(QStringLiteral("Link"));
    modePanel = named(new QLabel(statusBarWidget), "modePanel");
    modePanel->setAccessibleDescription(QStringLiteral("Mode"));
    statusBarWidget->addWidget(linkPanel, 1);
    statusBarWidget->addPermanentWidget(modePanel);
}

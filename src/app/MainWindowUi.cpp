#include "MainWindowUi.h"

#include "SettingsStore.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *object, const char *name) {
    object->setObjectName(QLatin1String(name));
    return object;
}

// A control with a tool tip is described by it to assistive technology.
template <typename T> T *tipped(T *widget, const QString &tip) {
    widget->setToolTip(tip);
    widget->setAccessibleDescription(tip);
    return widget;
}

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

QAction *toolButton(QToolBar *bar, const char *key, const QString &tip, const char *imageKey,
                    QStyle::StandardPixmap pixmap) {
    QAction *action = bar->addAction(bar->style()->standardIcon(pixmap), tip);
    action->setObjectName(QLatin1String(key));
    action->setToolTip(tip);
    action->setData(QLatin1String(key));
    action->setProperty("imageKey", QLatin1String(imageKey));
    return action;
}

} // namespace

void MainWindowUi::setupUi(QMainWindow *window) {
    window->setObjectName(QStringLiteral("frmMain"));
    window->setWindowTitle(SettingsStore::applicationName());

    // Menus
    QMenuBar *bar = window->menuBar();
    mnuFile = named(bar->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuFileDownload = menuItem(mnuFile, "mnuFileDownload", QStringLiteral("&Download"));
    mnuSeparator1 = separator(mnuFile, "mnuSeparator1");
    mnuFileExit = menuItem(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));

    mnuSetup = named(bar->addMenu(QStringLiteral("&Setup")), "mnuSetup");
    mnuSetupMode = menuItem(mnuSetup, "mnuSetupMode", QStringLiteral("&Mode..."));
    mnuSetupComm = menuItem(mnuSetup, "mnuSetupComm", QStringLiteral("&Comm..."));
    mnuSetupTCPIP = menuItem(mnuSetup, "mnuSetupTCPIP", QStringLiteral("&TCP/IP..."));
    mnuSetupTimeout = menuItem(mnuSetup, "mnuSetupTimeout", QStringLiteral("&Timeout..."));

    mnuView = named(bar->addMenu(QStringLiteral("&View")), "mnuView");
    mnuStandard = menuItem(mnuView, "mnuStandard", QStringLiteral("Standard"));
    mnuAdvanced = menuItem(mnuView, "mnuAdvanced", QStringLiteral("w/Lookup File"));
    mnuSeparator2 = separator(mnuView, "mnuSeparator2");
    mnuDefaultCheck =
        menuItem(mnuView, "mnuDefaultCheck", QStringLiteral("Default Comm Settings Check"));
    for (QAction *a : {mnuStandard, mnuAdvanced, mnuDefaultCheck})
        a->setCheckable(true);

    mnuHelp = named(bar->addMenu(QStringLiteral("&Help")), "mnuHelp");
    mnuHelpContents = menuItem(mnuHelp, "mnuHelpContents", QStringLiteral("&Contents..."));
    mnuHelpAbout = menuItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&About..."));

    // Toolbar: separator, Mode, CommSet, TCP/IP, Download, separator, Help,
    // About, separator, Exit.
    Toolbar1 = named(new QToolBar(window), "Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    window->addToolBar(Toolbar1);
    Toolbar1->addSeparator();
    toolButton(Toolbar1, "Mode", QStringLiteral("Mode"), "Mode1", QStyle::SP_ComputerIcon);
    toolButton(Toolbar1, "CommSet", QStringLiteral("Comm Settings"), "Comm1",
               QStyle::SP_DriveFDIcon);
    toolButton(Toolbar1, "TCP/IP", QStringLiteral("TCP/IP"), "Macro", QStyle::SP_DriveNetIcon);
    tbrDownload =
        toolButton(Toolbar1, "Download", QStringLiteral("Download"), "Bolt1", QStyle::SP_ArrowDown);
    Toolbar1->addSeparator();
    toolButton(Toolbar1, "Help", QStringLiteral("Help"), "Help", QStyle::SP_DialogHelpButton);
    toolButton(Toolbar1, "About", QStringLiteral("About"), "About",
               QStyle::SP_MessageBoxInformation);
    Toolbar1->addSeparator();
    toolButton(Toolbar1, "Exit", QStringLiteral("Exit"), "Exit", QStyle::SP_DialogCloseButton);

    auto *central = new QWidget(window);
    window->setCentralWidget(central);

    // Printer frame
    fraPrinter = named(new QGroupBox(QStringLiteral("ZEL Printer"), central), "fraPrinter");
    Label5 = label(fraPrinter, "Label5", QStringLiteral("Select Printer"));
    cboPrinter =
        tipped(named(new QComboBox(fraPrinter), "cboPrinter"), QStringLiteral("Select Printer"));
    Label5->setBuddy(cboPrinter);
    chkPassThru = named(new QCheckBox(QStringLiteral("Pass Through"), fraPrinter), "chkPassThru");
    chkLookup = named(new QCheckBox(QStringLiteral("Lookup File"), fraPrinter), "chkLookup");
    auto *printerLayout = new QGridLayout(fraPrinter);
    printerLayout->addWidget(Label5, 0, 0);
    printerLayout->addWidget(cboPrinter, 0, 1);
    printerLayout->addWidget(chkPassThru, 1, 0);
    printerLayout->addWidget(chkLookup, 1, 1);

    // Application frame
    fraZELApp = named(new QGroupBox(QStringLiteral("ZEL Application"), central), "fraZELApp");
    cmdZELApp = button(fraZELApp, "cmdZELApp", QStringLiteral("Add App..."),
                       QStringLiteral("Select ZEL App Filename for download"));
    cmdZELRemove = button(fraZELApp, "cmdZELRemove", QStringLiteral("Remove App"),
                          QStringLiteral("Clear ZEL App Filename from download"));
    Label1 = label(fraZELApp, "Label1", QStringLiteral("ZEL App Filename"));
    lblZELAppFilename = tipped(label(fraZELApp, "lblZELAppFilename", QString()),
                               QStringLiteral("ZEL app filename"));
    auto *appLayout = new QGridLayout(fraZELApp);
    appLayout->addWidget(cmdZELApp, 0, 0);
    appLayout->addWidget(cmdZELRemove, 0, 1);
    appLayout->addWidget(Label1, 1, 0, 1, 2);
    appLayout->addWidget(lblZELAppFilename, 2, 0, 1, 2);

    // Format frame
    fraFormat = named(new QGroupBox(QStringLiteral("ZEL Formats"), central), "fraFormat");
    cmdAddFmt = button(fraFormat, "cmdAddFmt", QStringLiteral("Add Fmt..."),
                       QStringLiteral("Select Format Filename for download"));
    cmdRemoveFmt = button(fraFormat, "cmdRemoveFmt", QStringLiteral("Remove Fmt"),
                          QStringLiteral("Clear Format Filename from download"));
    Label4 = label(fraFormat, "Label4", QStringLiteral("Format Filename"));
    lblFormat = tipped(label(fraFormat, "lblFormat", QString()), QStringLiteral("Format filename"));
    auto *formatLayout = new QGridLayout(fraFormat);
    formatLayout->addWidget(cmdAddFmt, 0, 0);
    formatLayout->addWidget(cmdRemoveFmt, 0, 1);
    formatLayout->addWidget(Label4, 1, 0, 1, 2);
    formatLayout->addWidget(lblFormat, 2, 0, 1, 2);

    // Lookup frame
    fraZELLookup = named(new QGroupBox(QStringLiteral("ZEL Lookups"), central), "fraZELLookup");
    lstLookups = tipped(named(new QListWidget(fraZELLookup), "lstLookups"),
                        QStringLiteral("ZEL lookups for download"));
    lstLookups->setAccessibleName(QStringLiteral("ZEL Lookups"));
    lstPaths = named(new QListWidget(fraZELLookup), "lstPaths");
    lstPaths->hide();
    cmdAdd = button(fraZELLookup, "cmdAdd", QStringLiteral("Add..."),
                    QStringLiteral("Add lookup file to list"));
    cmdRemove = button(fraZELLookup, "cmdRemove", QStringLiteral("Remove"),
                       QStringLiteral("Remove selected lookup file from list"));
    cmdClear = button(fraZELLookup, "cmdClear", QStringLiteral("Remove All"),
                      QStringLiteral("Clear list"));
    cmdUp = button(fraZELLookup, "cmdUp", QStringLiteral("Up"),
                   QStringLiteral("Move Lookup File Up in list"));
    cmdDown = button(fraZELLookup, "cmdDown", QStringLiteral("Down"),
                     QStringLiteral("Move Lookup File Down in list"));
    cboLUStart = tipped(named(new QComboBox(fraZELLookup), "cboLUStart"),
                        QStringLiteral("Select first lookup number"));
    Label2 = label(fraZELLookup, "Label2", QStringLiteral("First Lookup"));
    Label2->setBuddy(cboLUStart);
    Label3 = label(fraZELLookup, "Label3",
                   QStringLiteral("Lookups are downloaded in the order selected"));
    Label3->setWordWrap(true);
    auto *lookupLayout = new QGridLayout(fraZELLookup);
    lookupLayout->addWidget(lstLookups, 0, 0, 5, 1);
    lookupLayout->addWidget(cmdAdd, 0, 1);
    lookupLayout->addWidget(cmdRemove, 1, 1);
    lookupLayout->addWidget(cmdClear, 2, 1);
    lookupLayout->addWidget(cmdUp, 3, 1);
    lookupLayout->addWidget(cmdDown, 4, 1);
    lookupLayout->addWidget(Label2, 5, 0);
    lookupLayout->addWidget(cboLUStart, 5, 1);
    lookupLayout->addWidget(Label3, 6, 0, 1, 2);
    for (QPushButton *b : {cmdRemove, cmdClear, cmdUp, cmdDown})
        b->setEnabled(false);

    // Status line, progress and the command buttons
    lblStatus = named(new QLabel(QStringLiteral("Status"), central), "lblStatus");
    lblStatus->setAccessibleDescription(QStringLiteral("Status line"));
    // Long texts must not widen the window.
    lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProgressBar1 = tipped(named(new QProgressBar(central), "ProgressBar1"),
                          QStringLiteral("Download progress"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    cmdDownload = button(central, "cmdDownload", QStringLiteral("Download"),
                         QStringLiteral("Download ZEL app and lookups"));
    cmdCancel =
        button(central, "cmdCancel", QStringLiteral("Cancel"), QStringLiteral("Cancel download"));
    cmdClose =
        button(central, "cmdClose", QStringLiteral("Close"), QStringLiteral("Close this dialog"));

    leftColumn = new QWidget(central);
    auto *left = new QVBoxLayout(leftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(fraPrinter);
    left->addWidget(fraZELApp);
    left->addWidget(fraFormat);
    left->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(leftColumn);
    top->addWidget(fraZELLookup, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdClose);
    auto *outer = new QVBoxLayout(central);
    outer->addLayout(top);
    outer->addWidget(lblStatus);
    outer->addWidget(ProgressBar1);
    outer->addLayout(buttons);

    // Status bar: panel 1 the link, panel 2 the mode
    StatusBar1 = named(new QStatusBar(window), "StatusBar1");
    window->setStatusBar(StatusBar1);
    StatusBar1Panel1 = named(new QLabel(StatusBar1), "StatusBar1Panel1");
    StatusBar1Panel1->setAccessibleDescription(QStringLiteral("Link"));
    StatusBar1Panel2 = named(new QLabel(StatusBar1), "StatusBar1Panel2");
    StatusBar1Panel2->setAccessibleDescription(QStringLiteral("Mode"));
    StatusBar1->addWidget(StatusBar1Panel1, 1);
    StatusBar1->addPermanentWidget(StatusBar1Panel2);
}

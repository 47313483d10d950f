#pragma once

#include "EditorControls.h"

#include <QString>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QToolBar;
class QWidget;

// Every control of the main window, built in code. Object names are the
// controls' own names, so tests and tools find them by name.
struct MainWindowUi : EditorControls {
    // Menus
    QMenu *mnuFile = nullptr;
    QAction *mnuFileDownload = nullptr;
    QAction *mnuSeparator1 = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuSetup = nullptr;
    QAction *mnuSetupMode = nullptr;
    QAction *mnuSetupComm = nullptr;
    QAction *mnuSetupTCPIP = nullptr;
    QAction *mnuSetupTimeout = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuSeparator2 = nullptr;
    QAction *mnuDefaultCheck = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpContents = nullptr;
    QAction *mnuHelpAbout = nullptr;

    // Toolbar: its command buttons carry their key as object name.
    QToolBar *Toolbar1 = nullptr;
    QAction *tbrDownload = nullptr;

    // Printer frame
    QGroupBox *fraPrinter = nullptr;
    QLabel *Label5 = nullptr;

    // Application frame
    QGroupBox *fraZELApp = nullptr;
    QLabel *Label1 = nullptr;

    // Format frame
    QGroupBox *fraFormat = nullptr;

    // Holds the printer, application and format frames.
    QWidget *leftColumn = nullptr;

    // Lookup frame (the rest of its controls are the editor's)
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;

    // Status and commands
    QLabel *lblStatus = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdClose = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusBar1Panel1 = nullptr;
    QLabel *StatusBar1Panel2 = nullptr;

    void setupUi(QMainWindow *window);
};

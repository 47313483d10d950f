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
    QMenu *fileMenu = nullptr;
    QAction *openSetAction = nullptr;
    QAction *saveSetAction = nullptr;
    QMenu *recentSetsMenu = nullptr;
    QAction *setFileSeparator = nullptr;
    QAction *downloadAction = nullptr;
    QAction *fileSeparator = nullptr;
    QAction *exitAction = nullptr;
    QMenu *setupMenu = nullptr;
    QAction *modeAction = nullptr;
    QAction *commAction = nullptr;
    QAction *tcpipAction = nullptr;
    QAction *timeoutAction = nullptr;
    QMenu *viewMenu = nullptr;
    QAction *viewSeparator = nullptr;
    QAction *defaultCheckAction = nullptr;
    QMenu *helpMenu = nullptr;
    QAction *helpContentsAction = nullptr;
    QAction *aboutAction = nullptr;

    // Toolbar: its command buttons carry their key as object name.
    QToolBar *toolBar = nullptr;
    QAction *toolbarMode = nullptr;
    QAction *toolbarComm = nullptr;
    QAction *toolbarTcpip = nullptr;
    QAction *toolbarDownload = nullptr;

    // Printer frame
    QGroupBox *printerGroup = nullptr;
    QLabel *printerLabel = nullptr;

    // Application frame
    QGroupBox *applicationGroup = nullptr;
    QLabel *applicationLabel = nullptr;

    // Format frame
    QGroupBox *formatGroup = nullptr;

    // Holds the printer, application and format frames.
    QWidget *leftColumn = nullptr;

    // Lookup frame (the rest of its controls are the editor's)
    QLabel *firstLookupLabel = nullptr;
    QLabel *lookupNoteLabel = nullptr;

    // Status and commands
    QLabel *statusLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    QPushButton *downloadButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *closeButton = nullptr;
    QStatusBar *statusBarWidget = nullptr;
    QLabel *linkPanel = nullptr;
    QLabel *modePanel = nullptr;

    void setupUi(QMainWindow *window);
};

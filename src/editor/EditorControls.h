#pragma once

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

// The main window's controls that the editor works: the printer frame, the
// application, format and lookup frames, and the view menu entries. The
// window's own control set extends it.
struct EditorControls {
    // View menu
    QAction *mnuStandard = nullptr;
    QAction *mnuAdvanced = nullptr;

    // Printer frame
    QComboBox *cboPrinter = nullptr;
    QCheckBox *chkPassThru = nullptr;
    QCheckBox *chkLookup = nullptr;

    // Application frame
    QPushButton *cmdZELApp = nullptr;
    QPushButton *cmdZELRemove = nullptr;
    QLabel *lblZELAppFilename = nullptr;

    // Format frame
    QPushButton *cmdAddFmt = nullptr;
    QPushButton *cmdRemoveFmt = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *lblFormat = nullptr;

    // Lookup frame, to the right of the others
    QGroupBox *fraZELLookup = nullptr;
    QListWidget *lstLookups = nullptr;
    QListWidget *lstPaths = nullptr; // hidden twin: full paths
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QComboBox *cboLUStart = nullptr;
};

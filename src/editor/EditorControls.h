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
    QAction *standardViewAction = nullptr;
    QAction *lookupViewAction = nullptr;

    // Printer frame
    QComboBox *printerList = nullptr;
    QCheckBox *passThroughBox = nullptr;
    QCheckBox *lookupBox = nullptr;

    // Application frame
    QPushButton *addAppButton = nullptr;
    QPushButton *removeAppButton = nullptr;
    QLabel *appFileLabel = nullptr;

    // Format frame
    QPushButton *addFormatButton = nullptr;
    QPushButton *removeFormatButton = nullptr;
    QLabel *formatLabel = nullptr;
    QLabel *formatFileLabel = nullptr;

    // Lookup frame, to the right of the others
    QGroupBox *lookupGroup = nullptr;
    QListWidget *lookupList = nullptr;
    QPushButton *addLookupButton = nullptr;
    QPushButton *removeLookupButton = nullptr;
    QPushButton *removeAllButton = nullptr;
    QPushButton *upButton = nullptr;
    QPushButton *downButton = nullptr;
    QComboBox *firstLookupList = nullptr;
};

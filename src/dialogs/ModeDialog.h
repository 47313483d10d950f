#pragma once

#include "LinkModeRules.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

// "Mode": serial or TCP/IP. It refuses TCP/IP at once for a printer that
// cannot use it, and checks again when the focus leaves the choice and
// before OK takes it. OK stores the mode; Cancel keeps what the checks did.
class ModeDialog : public QDialog {
    Q_OBJECT
public:
    enum Option { Serial = 0, Tcp = 1 };

    ModeDialog(SharedState &state, SettingsStore &store, SerialPortControl &port, EngineView &view,
               QWidget *parent = nullptr);
    ~ModeDialog() override;

    QGroupBox *modeGroup = nullptr;
    QRadioButton *serialButton = nullptr;
    QRadioButton *tcpipButton = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    void select(Option option);
    void optionChosen(int option);
    void leftChoice();
    void focusMoved(QWidget *old, QWidget *now);
    void accepted();

    SharedState &m_state;
    SettingsStore &m_store;
    LinkModeRules m_rules;
    QButtonGroup *m_options = nullptr;
    bool m_checking = false;
};

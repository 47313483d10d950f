#pragma once

#include <QDialog>

class EngineView;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SerialPortControl;
class SettingsStore;
struct SharedState;

// The reply timeout in whole seconds. Opening it closes the serial port,
// which it leaves closed; OK takes a positive number into the shared state
// and stores "Timeout", Cancel changes nothing.
class TimeoutDialog : public QDialog {
    Q_OBJECT
public:
    TimeoutDialog(SharedState &state, SettingsStore &store, SerialPortControl &port,
                  EngineView &view, QWidget *parent = nullptr);

    QGroupBox *timeoutGroup = nullptr;
    QLineEdit *timeoutEdit = nullptr;
    QLabel *secondsLabel = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    void acceptTimeout();
    void showReplyTimeout();

    SharedState &m_state;
    SettingsStore &m_store;
    EngineView &m_view;
};

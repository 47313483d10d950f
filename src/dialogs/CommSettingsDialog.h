#pragma once

#include "SerialPortList.h"

#include <QDialog>

class EngineView;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SerialPortControl;
class SettingsStore;
struct SharedState;

// The serial port, its line settings, flow control and the reply timeout.
// Opening it tests the current port and lists the ports that exist, with
// the device behind each; OK applies the choice to the port, stores it and
// shows it in the status bar.
class CommSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CommSettingsDialog(SharedState &state, SettingsStore &store, SerialPortControl &port,
                       EngineView &view, QWidget *parent = nullptr);

    // Every port tried when the dialog opened, offered or not.
    const QList<SerialPortList::Entry> &ports() const { return m_ports; }

    // Cancel and Escape: the port, flow control and settings chosen here are
    // dropped, also those a failed OK handed to the port (which stays closed).
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    void load();
    void testPort();
    void fillPortList();
    void selectOptions(const QString &settings);
    void optionChosen(QButtonGroup *group, int index);
    void portChosen(int index);
    void showPortInfo();
    void selectPort(int number);
    void applyAndClose();
    void applyTimeout();
    void reportFailure(int error, const QString &devicePath);
    void message(const QString &text);

    SharedState &m_state;
    SettingsStore &m_store;
    SerialPortControl &m_port;
    EngineView &m_view;

    // The link settings when the dialog opened, for Cancel.
    int m_oldComPort = 1;
    int m_oldHandshaking = 0;
    QString m_oldLineSettings;
    QString m_oldPortSettings;
    int m_testError = 0;
    QList<SerialPortList::Entry> m_ports;
    // The four parts of the settings text: "9600," "n," "8," "1".
    QString m_baud, m_parity, m_dataBits, m_stopBits;

    QButtonGroup *m_baudOptions = nullptr;
    QButtonGroup *m_parityOptions = nullptr;
    QButtonGroup *m_wordOptions = nullptr;
    QButtonGroup *m_stopOptions = nullptr;
    QButtonGroup *m_flowOptions = nullptr;
    QComboBox *m_portList = nullptr;
    QLabel *m_portInfo = nullptr;
    QLineEdit *m_timeoutEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

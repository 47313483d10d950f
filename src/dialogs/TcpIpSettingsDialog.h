#pragma once

#include "LinkModeRules.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;

// "TCP/IP Settings": the printer's address, one list per octet, and its
// port. OK decides from the chosen printer whether TCP/IP may be used at
// all; a printer that cannot use it is put back on the serial link. The
// caller reads the address and port afterwards unless the dialog was
// cancelled.
class TcpIpSettingsDialog : public QDialog {
    Q_OBJECT
public:
    TcpIpSettingsDialog(SharedState &state, SettingsStore &store, SerialPortControl &port,
                        EngineView &view, const QString &remoteHost, qint32 remotePort,
                        QWidget *parent = nullptr);

    QString serverIp() const { return m_serverIp; }
    qint32 serverPort() const { return m_port; }
    // True unless the last OK went through.
    bool isCancelled() const { return m_cancelled; }
    void setCancelled(bool cancelled) { m_cancelled = cancelled; }

    void reject() override;

    std::array<QComboBox *, 4> addressLists{};
    QComboBox *portList = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showFields(const QString &remoteHost, qint32 remotePort);
    bool checkFields();
    void getFields();
    void applyMode();
    void accepted();
    QString addressText() const;

    LinkModeRules m_rules;
    QString m_serverIp;
    qint32 m_port = 0;
    bool m_cancelled = true;
};

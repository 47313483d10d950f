#include "TcpIpSettingsDialog.h"

#include "ControlNames.h"
#include "SettingsStore.h"
#include "TextSplit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QString kDefaultPort = QStringLiteral("9100");
} // namespace

using ControlNames::tipped;

TcpIpSettingsDialog::TcpIpSettingsDialog(SharedState &state, SettingsStore &store,
                                         SerialPortControl &port, EngineView &view,
                                         const QString &remoteHost, qint32 remotePort,
                                         QWidget *parent)
    : QDialog(parent), m_rules(state, store, port, view) {
    setObjectName(QStringLiteral("TcpIpSettingsDialog"));
    setWindowTitle(QStringLiteral("TCP/IP Settings"));

    auto *addressLabel = new QLabel(QStringLiteral("IP Address"), this);
    addressLabel->setObjectName(QStringLiteral("addressLabel"));
    QStringList octets;
    for (int i = 0; i <= 255; ++i)
        octets << QString::number(i);
    auto *addressRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        QComboBox *list = addressLists[i] = new QComboBox(this);
        list->setObjectName(QStringLiteral("addressList%1").arg(i + 1));
        list->setAccessibleName(QStringLiteral("IP Address, part %1").arg(i + 1));
        list->addItems(octets);
        addressRow->addWidget(list);
    }
    addressLabel->setBuddy(addressLists[0]);

    auto *portLabel = new QLabel(QStringLiteral("IP Port"), this);
    portLabel->setObjectName(QStringLiteral("portLabel"));
    portList = tipped(new QComboBox(this), "portList", QStringLiteral("Use Port 9100"));
    portList->setAccessibleName(QStringLiteral("IP Port"));
    portLabel->setBuddy(portList);
    // The port is picked from the list only; typing would search it.
    portList->installEventFilter(this);
    portList->view()->installEventFilter(this);

    okButton = tipped(new QPushButton(QStringLiteral("OK"), this), "okButton",
                      QStringLiteral("Accept changes and close"));
    cancelButton = tipped(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton",
                          QStringLiteral("Discard changes and close"));
    okButton->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(okButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton, QDialogButtonBox::RejectRole);

    auto *layout = new QGridLayout(this);
    layout->addWidget(addressLabel, 0, 0);
    layout->addLayout(addressRow, 0, 1);
    layout->addWidget(portLabel, 1, 0);
    layout->addWidget(portList, 1, 1, Qt::AlignLeft);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(okButton, &QPushButton::clicked, this, &TcpIpSettingsDialog::accepted);
    connect(cancelButton, &QPushButton::clicked, this, &TcpIpSettingsDialog::reject);

    showFields(remoteHost, remotePort);
    // Closing it any way but a successful OK counts as cancelled.
    m_cancelled = true;
}

void TcpIpSettingsDialog::showFields(const QString &remoteHost, qint32 remotePort) {
    m_serverIp = remoteHost;
    m_port = remotePort;
    const QString address = remoteHost.isEmpty() ? QStringLiteral("0.0.0.0") : remoteHost;
    const QStringList parts = splitText(address, QStringLiteral("."), 4);
    // A list without a part, or whose part is no octet, keeps what it shows.
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        addressLists[i]->setCurrentText(parts[i]);
    // "9100" is offered first and shown; the port in use stays a choice.
    portList->addItem(kDefaultPort);
    if (QString::number(remotePort) != kDefaultPort)
        portList->addItem(QString::number(remotePort));
    portList->setCurrentIndex(0);
}

QString TcpIpSettingsDialog::addressText() const {
    QStringList octets;
    for (const QComboBox *list : addressLists)
        octets << list->currentText();
    return octets.join(QLatin1Char('.'));
}

bool TcpIpSettingsDialog::checkFields() {
    const auto refuse = [this](const QString &text) {
        QMessageBox box(QMessageBox::Critical, SettingsStore::applicationName(), text,
                        QMessageBox::Ok, this);
        box.exec();
        return false;
    };
    if (addressText() == QLatin1String("0.0.0.0"))
        return refuse(QStringLiteral("Server Name or IP address is needed"));
    if (portList->currentText().isEmpty()) {
        refuse(QStringLiteral("Port number is needed"));
        portList->setFocus();
        return false;
    }
    return true;
}

void TcpIpSettingsDialog::getFields() {
    m_port = portList->currentText().toInt();
    m_serverIp = addressText();
}

void TcpIpSettingsDialog::applyMode() {
    if (m_rules.allowsTcp())
        m_rules.useTcp(m_serverIp, m_port);
    else
        m_rules.forceSerial(this);
}

void TcpIpSettingsDialog::accepted() {
    m_cancelled = false;
    if (!checkFields()) {
        m_cancelled = true;
        return;
    }
    getFields();
    applyMode();
    accept();
}

void TcpIpSettingsDialog::reject() {
    m_cancelled = true;
    QDialog::reject();
}

bool TcpIpSettingsDialog::eventFilter(QObject *watched, QEvent *event) {
    // Keys that type something are dropped; arrows, Tab, Enter and Escape
    // still work the list and the dialog.
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty() && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\b')))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

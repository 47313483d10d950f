#include "CommSettingsDialog.h"

#include "ControlNames.h"
#include "EngineView.h"
#include "LinkDescription.h"
#include "SerialNative.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

// Option captions, in the order of their indexes (1-based).
const QStringList kBauds{"1200",  "2400",  "4800",  "9600",  "14400",
                         "19200", "28800", "38400", "57600", "115200"};
const QStringList kParities{"Odd", "Even", "None", "Mark", "Space"};
const QString kParityLetters = QStringLiteral("oenms");
const QStringList kFlows{"None", "RTS + Xon/Xoff", "RTS", "Xon/Xoff"};
// Handshaking code of each flow option.
constexpr int kFlowCodes[] = {0, 3, 2, 1};

using ControlNames::named;
using ControlNames::tipped;

// A frame of option buttons, ids 1..n, laid out in `columns`; each button
// is named after the frame's role and its caption ("parityNone").
QGroupBox *optionFrame(QWidget *parent, const QString &role, const QString &title,
                       const QString &tip, const QStringList &captions, QButtonGroup *&group,
                       int columns = 1) {
    auto *frame = tipped(named(new QGroupBox(title, parent), role + "Group"), tip);
    group = new QButtonGroup(frame);
    auto *layout = new QGridLayout(frame);
    const int rows = int((captions.size() + columns - 1) / columns);
    for (int i = 0; i < captions.size(); ++i) {
        const QString bare = QString(captions[i]).remove(QRegularExpression("[^A-Za-z0-9]"));
        auto *option = named(new QRadioButton(captions[i], frame), role + bare);
        group->addButton(option, i + 1);
        layout->addWidget(option, i % rows, i / rows);
    }
    return frame;
}

} // namespace

CommSettingsDialog::CommSettingsDialog(SharedState &state, SettingsStore &store,
                                       SerialPortControl &port, EngineView &view, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_port(port), m_view(view) {
    buildUi();
    load();
}

void CommSettingsDialog::buildUi() {
    setObjectName(QStringLiteral("CommSettingsDialog"));
    setWindowTitle(QStringLiteral("Communications Settings"));

    auto *baud = optionFrame(this, "baud", "Baud", "Select baud rate", kBauds, m_baudOptions, 2);
    auto *parity =
        optionFrame(this, "parity", "Parity", "Select parity", kParities, m_parityOptions);
    auto *word = optionFrame(this, "word", "Word Length", "Select data length", {"Seven", "Eight"},
                             m_wordOptions);
    auto *stop =
        optionFrame(this, "stop", "Stop Bits", "Select stop bits", {"One", "Two"}, m_stopOptions);
    auto *flow =
        optionFrame(this, "flow", "Flow Control", "Select flow control", kFlows, m_flowOptions);

    auto *portFrame = named(new QGroupBox(QStringLiteral("Com Port"), this), "comPortGroup");
    m_portList = tipped(named(new QComboBox(portFrame), "comPortList"), "Select comm port");
    m_portList->setAccessibleName(QStringLiteral("Com Port"));
    m_portInfo = named(new QLabel(portFrame), "comPortInfoLabel");
    m_portInfo->setWordWrap(true);
    m_portInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *portLayout = new QVBoxLayout(portFrame);
    portLayout->addWidget(m_portList);
    portLayout->addWidget(m_portInfo);

    auto *timeoutFrame =
        named(new QGroupBox(QStringLiteral("Response Timeout"), this), "timeoutGroup");
    m_timeoutEdit =
        tipped(named(new QLineEdit(timeoutFrame), "timeoutEdit"), "Response timeout in seconds");
    m_timeoutEdit->setAccessibleName(QStringLiteral("Response Timeout"));
    // Five digits stay plain digits in the store (99999 s is over a day).
    m_timeoutEdit->setMaxLength(5);
    // Typing is filtered key by key; pasting and dropping would pass around it.
    m_timeoutEdit->setContextMenuPolicy(Qt::NoContextMenu);
    m_timeoutEdit->setAcceptDrops(false);
    m_timeoutEdit->installEventFilter(this);
    m_portList->installEventFilter(this);
    auto *seconds = named(new QLabel(QStringLiteral("Seconds"), timeoutFrame), "secondsLabel");
    seconds->setBuddy(m_timeoutEdit);
    auto *timeoutLayout = new QHBoxLayout(timeoutFrame);
    timeoutLayout->addWidget(m_timeoutEdit);
    timeoutLayout->addWidget(seconds);

    m_okButton = tipped(named(new QPushButton(QStringLiteral("OK"), this), "okButton"),
                        "Accept changes and close");
    m_cancelButton = tipped(named(new QPushButton(QStringLiteral("&Cancel"), this), "cancelButton"),
                            "Discard changes and close");
    m_okButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto *grid = new QGridLayout(this);
    grid->addWidget(baud, 0, 0, 2, 1);
    grid->addWidget(parity, 0, 1, 2, 1);
    grid->addWidget(word, 0, 2);
    grid->addWidget(stop, 1, 2);
    grid->addWidget(flow, 0, 3, 2, 1);
    grid->addWidget(portFrame, 2, 0, 1, 3);
    grid->addWidget(timeoutFrame, 2, 3);
    grid->addLayout(buttons, 3, 0, 1, 4);
    // Taller when the line under the list wraps, never narrower than its frames.
    grid->setSizeConstraint(QLayout::SetMinimumSize);

    for (QButtonGroup *group :
         {m_baudOptions, m_parityOptions, m_wordOptions, m_stopOptions, m_flowOptions})
        connect(group, &QButtonGroup::idToggled, this, [this, group](int id, bool checked) {
            if (checked)
                optionChosen(group, id);
        });
    connect(m_portList, &QComboBox::currentIndexChanged, this, &CommSettingsDialog::portChosen);
    connect(m_okButton, &QPushButton::clicked, this, &CommSettingsDialog::applyAndClose);
    connect(m_cancelButton, &QPushButton::clicked, this, &CommSettingsDialog::reject);
}

void CommSettingsDialog::load() {
    m_state.comPort = qint16(m_port.commPort());
    m_oldComPort = m_state.comPort;
    m_state.handshaking = qint16(m_port.handshaking());
    m_oldHandshaking = m_state.handshaking;
    const QString settings = m_port.settings();
    m_oldPortSettings = settings;
    m_oldLineSettings = m_state.lineSettings;
    m_state.dialogTimeoutText = SettingText::fromSingle(m_state.replyTimeout);

    testPort();
    fillPortList();
    // A longer stored value is shown whole, not cut.
    m_timeoutEdit->setMaxLength(std::max(5, int(m_state.dialogTimeoutText.size())));
    m_timeoutEdit->setText(m_state.dialogTimeoutText);
    selectOptions(settings);
}

void CommSettingsDialog::testPort() {
    m_port.close();
    m_testError = m_port.open();
    const QString number = QString::number(m_state.comPort);
    if (m_testError == SerialNative::PortAlreadyOpen) {
        const QString holder = SerialPortList::holderOf(m_port.devicePath());
        message("Comm Port " + number + " in use by another application" +
                (holder.isEmpty() ? QString() : ". It is held by " + holder + '.'));
    } else if (m_testError == SerialNative::DeviceNotOpen) {
        // Refused for want of permission: say how to get it.
        message("Comm Port " + number + ": " +
                SerialPortList::explain(m_testError, m_port.devicePath()));
    }
}

void CommSettingsDialog::fillPortList() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_ports = SerialPortList::scan(m_port);
    {
        const QSignalBlocker quiet(m_portList);
        for (const SerialPortList::Entry &entry : std::as_const(m_ports)) {
            if (!entry.listed())
                continue;
            m_portList->addItem(QStringLiteral("Com%1").arg(entry.number), entry.number);
            m_portList->setItemData(m_portList->count() - 1, entry.toolTip(), Qt::ToolTipRole);
        }
        selectPort(m_state.comPort);
    }
    m_port.setCommPort(m_state.comPort);
    showPortInfo();
    QGuiApplication::restoreOverrideCursor();
}

void CommSettingsDialog::selectOptions(const QString &settings) {
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    const QString baud = comma < 0 ? settings : settings.left(comma);
    // Fields at fixed places after the first comma: "n,8,1".
    const QString parity = comma < 0 ? QString() : settings.mid(comma + 1, 1);
    const QString dataBits = comma < 0 ? QString() : settings.mid(comma + 3, 1);
    const QString stopBits = comma < 0 ? QString() : settings.mid(comma + 5, 1);

    const qsizetype baudIndex = kBauds.indexOf(baud);
    m_baudOptions->button(baudIndex < 0 ? 4 : int(baudIndex) + 1)->setChecked(true);
    // Lower case only: "N" is not a letter this dialog writes.
    const qsizetype parityIndex = parity.isEmpty() ? -1 : kParityLetters.indexOf(parity);
    m_parityOptions->button(parityIndex < 0 ? 3 : int(parityIndex) + 1)->setChecked(true);
    m_wordOptions->button(dataBits == QLatin1String("7") ? 1 : 2)->setChecked(true);
    m_stopOptions->button(stopBits == QLatin1String("2") ? 2 : 1)->setChecked(true);
    const int flow = m_state.handshaking == 0   ? 1
                     : m_state.handshaking == 3 ? 2
                     : m_state.handshaking == 2 ? 3
                                                : 4;
    m_flowOptions->button(flow)->setChecked(true);
}

void CommSettingsDialog::optionChosen(QButtonGroup *group, int index) {
    if (group == m_baudOptions) {
        m_baud = kBauds.value(index - 1) + ',';
    } else if (group == m_parityOptions) {
        m_parity = kParityLetters.mid(index - 1, 1) + ',';
    } else if (group == m_wordOptions) {
        m_dataBits = index == 1 ? QStringLiteral("7,") : QStringLiteral("8,");
    } else if (group == m_stopOptions) {
        m_stopBits = QString::number(index);
    } else {
        m_state.handshaking = qint16(kFlowCodes[index - 1]);
        if (m_state.handshaking >= 2)
            m_port.setRTSEnable(true);
    }
}

void CommSettingsDialog::portChosen(int index) {
    const QString text = m_portList->itemText(index);
    bool ok = false;
    const int number = text.mid(3).toInt(&ok);
    if (text.size() >= 4 && text.size() <= 6 && ok) {
        m_state.comPort = qint16(number);
    } else {
        message(QStringLiteral("Invalid Comm Port Setting.  Defaulting to Comm Port 1"));
        m_state.comPort = 1;
    }
    showPortInfo();
}

void CommSettingsDialog::showPortInfo() {
    for (const SerialPortList::Entry &entry : std::as_const(m_ports))
        if (entry.number == m_state.comPort)
            return m_portInfo->setText(entry.summary());
    // Not among the ports tried: say why, from the test when it failed.
    const QString path = m_port.devicePath();
    QString why = path + QStringLiteral(" is not among the serial ports the system reports");
    if (m_testError != 0 && m_state.comPort == m_oldComPort)
        why = SerialPortList::explain(m_testError, path);
    else if (!QFileInfo::exists(path))
        why = SerialPortList::explain(SerialNative::InvalidPort, path);
    m_portInfo->setText(QStringLiteral("Com%1: ").arg(m_state.comPort) + why);
}

void CommSettingsDialog::selectPort(int number) {
    m_portList->setCurrentIndex(m_portList->findData(number));
}

void CommSettingsDialog::applyAndClose() {
    m_state.lineSettings = m_baud + m_parity + m_dataBits + m_stopBits;
    m_port.close();
    if (!m_port.setSettings(m_state.lineSettings) || !m_port.setHandshaking(m_state.handshaking) ||
        !m_port.setCommPort(m_state.comPort)) {
        m_view.setStatus(QStringLiteral("Comm Port Save Settings Error"));
        return;
    }
    if (const int error = m_port.open()) {
        reportFailure(error, m_port.devicePath());
        return;
    }
    applyTimeout();
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
    m_store.write(QStringLiteral("Comport"), SettingText::fromInt(m_state.comPort));
    m_store.write(QStringLiteral("Settings"), m_state.lineSettings);
    m_store.write(QStringLiteral("Handshaking"), SettingText::fromInt(m_state.handshaking));
    m_store.write(QStringLiteral("Timeout"), SettingText::fromSingle(m_state.dialogTimeout));
    if (m_state.mode == 0) {
        m_view.setModePanel(LinkDescription::serialMode());
        m_state.modeOption = 0;
        m_view.setLinkPanel(LinkDescription::serial(m_state));
    }
    QDialog::accept();
}

void CommSettingsDialog::applyTimeout() {
    const QString text = m_timeoutEdit->text();
    const float seconds = text.toFloat();
    if (seconds > 0) {
        m_state.dialogTimeout = seconds;
        m_state.replyTimeout = seconds;
    } else {
        // Empty or 0: the current timeout stays and shows again.
        m_timeoutEdit->setText(SettingText::fromSingle(m_state.replyTimeout));
    }
    m_state.dialogTimeoutText = m_timeoutEdit->text();
    // Never held a timeout yet: "Timeout" must not be stored as 0.
    if (!(m_state.dialogTimeout > 0))
        m_state.dialogTimeout = m_state.replyTimeout > 0 ? m_state.replyTimeout : 25.0f;
}

void CommSettingsDialog::reportFailure(int error, const QString &devicePath) {
    if (error < 8000 || error > 8021) {
        m_view.setStatus(QStringLiteral("Comm Port Save Settings Error"));
        return;
    }
    const QString why = SerialPortList::explain(error, devicePath);
    m_view.setStatus(QString::number(error) + ' ' + SerialPortControl::errorDescription(error) +
                     QStringLiteral(" - ") + why);
    if (error != SerialNative::InvalidPort) {
        m_portInfo->setText(QStringLiteral("Com%1: ").arg(m_state.comPort) + why);
        return;
    }
    m_state.comPort = qint16(m_oldComPort);
    m_port.setCommPort(m_oldComPort);
    m_port.open();
    const QSignalBlocker quiet(m_portList);
    selectPort(m_oldComPort);
    showPortInfo();
}

void CommSettingsDialog::reject() {
    // An OK that failed has already handed its values to the port.
    m_state.comPort = qint16(m_oldComPort);
    m_state.handshaking = qint16(m_oldHandshaking);
    m_state.lineSettings = m_oldLineSettings;
    m_port.setCommPort(m_oldComPort);
    m_port.setHandshaking(m_oldHandshaking);
    m_port.setSettings(m_oldPortSettings);
    QDialog::reject();
}

bool CommSettingsDialog::eventFilter(QObject *watched, QEvent *event) {
    // The timeout box takes digits and Backspace, the port list no typing;
    // keys that type nothing (arrows, Tab, Enter) pass.
    if (event->type() == QEvent::KeyPress && (watched == m_timeoutEdit || watched == m_portList)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste))
            return true;
        const QString text = key->text();
        const bool typing = !text.isEmpty() && text.at(0).isPrint();
        const bool digit = text.size() == 1 && text.at(0) >= '0' && text.at(0) <= '9';
        // Space opens the list, as on any list.
        if (watched == m_portList ? typing && text != QLatin1String(" ") : typing && !digit)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CommSettingsDialog::message(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, SettingsStore::applicationName(), text, QMessageBox::Ok,
                    isVisible() ? this : parentWidget());
    box.exec();
}

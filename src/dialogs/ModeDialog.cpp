#include "ModeDialog.h"

#include "ControlNames.h"
#include "PrinterModels.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

using ControlNames::tipped;

ModeDialog::ModeDialog(SharedState &state, SettingsStore &store, SerialPortControl &port,
                       EngineView &view, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_rules(state, store, port, view) {
    setObjectName(QStringLiteral("ModeDialog"));
    setWindowTitle(QStringLiteral("Mode"));

    modeGroup = new QGroupBox(this);
    modeGroup->setObjectName(QStringLiteral("modeGroup"));
    modeGroup->setAccessibleName(QStringLiteral("Mode"));
    serialButton = tipped(new QRadioButton(QStringLiteral("Serial"), modeGroup), "serialButton",
                          QStringLiteral("Download to Comm port"));
    tcpipButton = tipped(new QRadioButton(QStringLiteral("TCP/IP"), modeGroup), "tcpipButton",
                         QStringLiteral("Download to TCP/IP socket"));
    m_options = new QButtonGroup(this);
    m_options->addButton(serialButton, Serial);
    m_options->addButton(tcpipButton, Tcp);
    auto *groupLayout = new QVBoxLayout(modeGroup);
    groupLayout->addWidget(serialButton);
    groupLayout->addWidget(tcpipButton);

    okButton = tipped(new QPushButton(QStringLiteral("OK"), this), "okButton",
                      QStringLiteral("Accept changes and close"));
    cancelButton = tipped(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton",
                          QStringLiteral("Discard changes and close"));
    okButton->setDefault(true);
    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    buttons->addButton(okButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton, QDialogButtonBox::RejectRole);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(modeGroup);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Clicks and arrow keys; an option set by code is no choice of the user's.
    connect(m_options, &QButtonGroup::idClicked, this, &ModeDialog::optionChosen);
    connect(qApp, &QApplication::focusChanged, this, &ModeDialog::focusMoved);
    connect(okButton, &QPushButton::clicked, this, &ModeDialog::accepted);
    connect(cancelButton, &QPushButton::clicked, this, &ModeDialog::reject);

    select(m_state.mode == 1 ? Tcp : Serial);
    // The keyboard starts on the choice, as arrow keys change it.
    m_options->checkedButton()->setFocus();
}

void ModeDialog::select(Option option) {
    m_options->button(option)->setChecked(true);
    m_state.modeOption = qint16(option);
}

void ModeDialog::optionChosen(int option) {
    const PrinterModel *model = m_rules.printer();
    if (option != Tcp || m_rules.allowsTcp())
        return;
    if (model->tcp == TcpRule::Refused) {
        LinkModeRules::warn(LinkModeRules::kGeneralWarning, this);
        select(Serial);
        m_state.mode = 0;
    } else {
        // The keypad without pass-through: its own serial settings too.
        m_rules.forceSerial(this);
        select(Serial);
    }
}

void ModeDialog::leftChoice() {
    const PrinterModel *model = m_rules.printer();
    // A check waiting from the focus move may run while OK's check warns.
    if (m_checking || !model || model->tcp != TcpRule::Refused || m_state.mode != 1)
        return;
    const QScopedValueRollback checking(m_checking, true);
    LinkModeRules::warn(LinkModeRules::kGeneralWarning, this);
    select(Serial);
    m_state.mode = 0;
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
}

ModeDialog::~ModeDialog() {
    // The controls give up the focus while the base class destroys them:
    // no focus change may reach this dialog once it is half gone.
    disconnect(qApp, &QApplication::focusChanged, this, &ModeDialog::focusMoved);
}

void ModeDialog::focusMoved(QWidget *old, QWidget *now) {
    // Only a move to another control of this dialog leaves the choice; a
    // box opening over it does not. The check waits for the click that
    // moved the focus to end, so that no box opens under a pressed button.
    if (old && now && modeGroup->isAncestorOf(old) && isAncestorOf(now) &&
        !modeGroup->isAncestorOf(now))
        QTimer::singleShot(0, this, &ModeDialog::leftChoice);
}

void ModeDialog::accepted() {
    leftChoice();
    m_state.mode = serialButton->isChecked() ? 0 : 1;
    m_state.modeOption = m_state.mode;
    m_store.write(QStringLiteral("Mode"), SettingText::fromInt(m_state.mode));
    accept();
}

#include "TimeoutDialog.h"

#include "ControlNames.h"
#include "EngineView.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using ControlNames::named;
using ControlNames::tipped;

TimeoutDialog::TimeoutDialog(SharedState &state, SettingsStore &store, SerialPortControl &port,
                             EngineView &view, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_view(view) {
    setObjectName(QStringLiteral("TimeoutDialog"));
    setWindowTitle(QStringLiteral("Timeout"));

    timeoutGroup =
        tipped(named(new QGroupBox(QStringLiteral("Response Timeout"), this), "timeoutGroup"),
               QStringLiteral("Response timeout in seconds"));
    timeoutEdit = named(new QLineEdit(timeoutGroup), "timeoutEdit");
    timeoutEdit->setAccessibleName(QStringLiteral("Response Timeout"));
    timeoutEdit->setAccessibleDescription(QStringLiteral("Response timeout in seconds"));
    // Whole seconds: digits only, no sign and no point, typed or pasted.
    timeoutEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    secondsLabel = named(new QLabel(QStringLiteral("Seconds"), timeoutGroup), "secondsLabel");
    secondsLabel->setBuddy(timeoutEdit);
    okButton = tipped(named(new QPushButton(QStringLiteral("OK"), this), "okButton"),
                      QStringLiteral("Accept changes and close"));
    okButton->setDefault(true);
    cancelButton = tipped(named(new QPushButton(QStringLiteral("&Cancel"), this), "cancelButton"),
                          QStringLiteral("Discard changes and close"));

    auto *groupLayout = new QHBoxLayout(timeoutGroup);
    groupLayout->addWidget(timeoutEdit);
    groupLayout->addWidget(secondsLabel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(timeoutGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(timeoutEdit, okButton);
    setTabOrder(okButton, cancelButton);

    connect(okButton, &QPushButton::clicked, this, &TimeoutDialog::acceptTimeout);
    connect(cancelButton, &QPushButton::clicked, this, &TimeoutDialog::reject);

    // A download opens the port again when it needs it.
    if (port.isOpen())
        port.close();
    showReplyTimeout();
}

void TimeoutDialog::showReplyTimeout() {
    m_state.dialogTimeoutText = SettingText::fromSingle(m_state.replyTimeout);
    timeoutEdit->setText(m_state.dialogTimeoutText);
    timeoutEdit->selectAll();
    timeoutEdit->setFocus();
}

void TimeoutDialog::acceptTimeout() {
    const QString text = timeoutEdit->text();
    const std::optional<float> seconds = SettingText::toSingle(text);
    if (!text.isEmpty())
        m_state.dialogTimeoutText = text;
    if (!text.isEmpty() && !seconds) {
        // More digits than a number of seconds can hold.
        m_view.setStatus(QStringLiteral("Timeout Save Settings Error"));
    } else if (seconds && *seconds > 0) {
        m_state.replyTimeout = *seconds;
        m_state.dialogTimeout = *seconds;
    } else {
        showReplyTimeout();
    }
    // Never store 0: a reply wait of no time would fail every download.
    if (!(m_state.dialogTimeout > 0))
        m_state.dialogTimeout = m_state.replyTimeout;
    if (m_state.dialogTimeout > 0)
        m_store.write(QStringLiteral("Timeout"), SettingText::fromSingle(m_state.dialogTimeout));
    accept();
}

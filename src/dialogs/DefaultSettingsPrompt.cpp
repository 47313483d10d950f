#include "DefaultSettingsPrompt.h"

#include "SettingsStore.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DefaultSettingsPrompt::DefaultSettingsPrompt(SettingsStore &store, QWidget *parent)
    : QDialog(parent), m_store(store) {
    setObjectName(QStringLiteral("DefaultSettingsPrompt"));
    setWindowTitle(QStringLiteral("Comm Settings"));

    descriptionLabel =
        new QLabel(QStringLiteral("Do you want to set default comm settings?"), this);
    descriptionLabel->setObjectName(QStringLiteral("descriptionLabel"));
    descriptionLabel->setWordWrap(true);
    neverBox = new QCheckBox(QStringLiteral("Don't show again"), this);
    neverBox->setObjectName(QStringLiteral("neverBox"));
    yesButton = new QPushButton(QStringLiteral("Yes"), this);
    yesButton->setObjectName(QStringLiteral("yesButton"));
    noButton = new QPushButton(QStringLiteral("No"), this);
    noButton->setObjectName(QStringLiteral("noButton"));
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    yesButton->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(neverBox);
    buttons->addStretch(1);
    buttons->addWidget(yesButton);
    buttons->addWidget(noButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(descriptionLabel);
    layout->addLayout(buttons);

    connect(yesButton, &QPushButton::clicked, this, [this] { answer(Yes); });
    connect(noButton, &QPushButton::clicked, this, [this] { answer(No); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { answer(Cancel); });
    connect(neverBox, &QCheckBox::toggled, this, &DefaultSettingsPrompt::neverToggled);
}

void DefaultSettingsPrompt::setNever(bool never) {
    m_never = never;
}

void DefaultSettingsPrompt::answer(qint16 button) {
    m_button = button;
    done(button);
}

void DefaultSettingsPrompt::neverToggled() {
    setNever(neverBox->isChecked());
    Q_EMIT neverChanged(m_never);
    m_store.write(QStringLiteral("NeverShowDefault"), SettingText::fromBool(m_never));
}

qint16 DefaultSettingsPrompt::ask() {
    // An earlier answer must not stand for a prompt closed without one.
    m_button = Cancel;
    descriptionLabel->setText(m_description);
    // exec() makes it modal.
    exec();
    return m_button;
}

#include "frmMsg.h"

#include "SettingsStore.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmMsg::frmMsg(SettingsStore &store, QWidget *parent) : QDialog(parent), m_store(store) {
    setObjectName(QStringLiteral("frmMsg"));
    setWindowTitle(QStringLiteral("Comm Settings"));
    setModal(true);

    lblDescription = new QLabel(QStringLiteral("Do you want to set default comm settings?"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    chkNever = new QCheckBox(QStringLiteral("Don't show again"), this);
    chkNever->setObjectName(QStringLiteral("chkNever"));
    cmdYes = new QPushButton(QStringLiteral("Yes"), this);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdNo = new QPushButton(QStringLiteral("No"), this);
    cmdNo->setObjectName(QStringLiteral("cmdNo"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdYes->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkNever);
    buttons->addStretch(1);
    buttons->addWidget(cmdYes);
    buttons->addWidget(cmdNo);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblDescription);
    layout->addLayout(buttons);

    connect(cmdYes, &QPushButton::clicked, this, [this] { answer(Yes); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { answer(No); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { answer(Cancel); });
    connect(chkNever, &QCheckBox::toggled, this, &frmMsg::chkNever_Click);
}

void frmMsg::setNever(bool blnNever) {
    m_blnNever = blnNever;
}

void frmMsg::answer(qint16 button) {
    m_intButton = button;
    hide();
    done(button);
}

void frmMsg::chkNever_Click() {
    setNever(chkNever->isChecked());
    Q_EMIT neverChanged(m_blnNever);
    m_store.write(QStringLiteral("NeverShowDefault"), SettingText::fromBool(m_blnNever));
}

qint16 frmMsg::ask() {
    // An earlier answer must not stand for a prompt closed without one.
    m_intButton = Cancel;
    lblDescription->setText(m_strDesc);
    exec();
    return m_intButton;
}

#include "AboutBox.h"

#include "SettingsStore.h"
#include "SystemInfoTool.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
// Under the reserved example domain until a support site exists.
const char *const kSupportAddress = "https://support.example.com/zel-download-utility/";

QLabel *label(QWidget *parent, const char *name, const QString &text, bool wrapped = false) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(wrapped);
    return l;
}
} // namespace

AboutBox::AboutBox(QWidget *parent)
    : QDialog(parent), openUrl(&QDesktopServices::openUrl), startProgram(&SystemInfoTool::start) {
    const QString title = SettingsStore::applicationName();
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About ") + title);

    iconLabel = label(this, "iconLabel", QString());
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        iconLabel->hide();
    else
        iconLabel->setPixmap(icon.pixmap(style()->pixelMetric(QStyle::PM_LargeIconSize)));
    iconLabel->setAccessibleName(title);
    titleLabel = label(this, "titleLabel", title);
    QFont big = titleLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    titleLabel->setFont(big);
    versionLabel =
        label(this, "versionLabel",
              versionText(ZELDL_VERSION_MAJOR, ZELDL_VERSION_MINOR, ZELDL_VERSION_PATCH));
    descriptionLabel = label(
        this, "descriptionLabel",
        QStringLiteral("This utility sends ZEL applications, format files and lookup files to the "
                       "supported label printers and keypad terminals, over a serial port or a "
                       "TCP/IP connection."),
        true);
    copyrightLabel =
        label(this, "copyrightLabel",
              QStringLiteral("Copyright \u00a9 the makers of the ZEL Download Utility. All rights "
                             "reserved."),
              true);
    disclaimerLabel = label(
        this, "disclaimerLabel",
        QStringLiteral("Warning: this program is protected by copyright law. Copying or passing it "
                       "on, in whole or in part, without the written permission of its makers is "
                       "not allowed. Unauthorised copies may lead to legal action. Please use only "
                       "a copy you received from its makers or their dealers."),
        true);
    webLabel = label(this, "webLabel",
                     QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(kSupportAddress)));
    webLabel->setTextFormat(Qt::RichText);
    webLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    webLabel->installEventFilter(this);
    webLabel->setAccessibleName(QStringLiteral("Support web site"));
    webLabel->setAccessibleDescription(QLatin1String(kSupportAddress));
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    sysInfoButton = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfoButton->setObjectName(QStringLiteral("sysInfoButton"));

    // Wrapped notices get room for a readable line, in the user's font.
    descriptionLabel->setMinimumWidth(fontMetrics().averageCharWidth() * 55);
    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("separatorLine"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *text = new QVBoxLayout;
    text->addWidget(titleLabel);
    text->addWidget(versionLabel);
    text->addWidget(descriptionLabel);
    text->addWidget(webLabel);
    auto *top = new QHBoxLayout;
    top->addWidget(iconLabel, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *bottom = new QGridLayout;
    bottom->addWidget(copyrightLabel, 0, 0);
    bottom->addWidget(disclaimerLabel, 1, 0, 2, 1);
    bottom->addWidget(okButton, 0, 1);
    bottom->addWidget(sysInfoButton, 1, 1, Qt::AlignTop);
    bottom->setColumnStretch(0, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);
    // Fixed at the layout's size, with the wrapped lines' height for that width.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(okButton, sysInfoButton);
    setTabOrder(sysInfoButton, webLabel);
    okButton->setFocus();

    // OK is also the cancel button: Escape closes through reject().
    connect(okButton, &QPushButton::clicked, this, &AboutBox::accept);
    connect(sysInfoButton, &QPushButton::clicked, this, &AboutBox::startSystemInfo);
    connect(webLabel, &QLabel::linkActivated, this, &AboutBox::askToBrowse);
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event) {
    // A label takes Enter only after a second Tab has picked its link; here
    // Enter on the label follows it at once, as a click does.
    if (watched == webLabel && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            askToBrowse();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString AboutBox::versionText(int major, int minor, int revision) {
    if (revision == 0)
        return QStringLiteral("Version %1.%2").arg(major).arg(minor);
    return QStringLiteral("Prototype %1.%2.0.0.%3").arg(major).arg(minor).arg(revision);
}

QUrl AboutBox::supportAddress() {
    return QUrl(QLatin1String(kSupportAddress));
}

void AboutBox::startSystemInfo() {
    const QString program = SystemInfoTool::find();
    if (!program.isEmpty() && startProgram(program))
        return;
    QMessageBox box(QMessageBox::NoIcon, SettingsStore::applicationName(),
                    QStringLiteral("System Information Is Unavailable At This Time"),
                    QMessageBox::Ok, this);
    box.exec();
}

void AboutBox::askToBrowse() {
    const QString text =
        QStringLiteral("This will start your local browser\nand show the ZEL Download Utility "
                       "support site, %1\n\nDo you wish to continue?")
            .arg(QLatin1String(kSupportAddress));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Start Browser?"), text,
                    QMessageBox::Yes | QMessageBox::No, this);
    // A failing browser start has nothing useful to tell the user.
    if (box.exec() == QMessageBox::Yes)
        (void)openUrl(supportAddress());
}

#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QPushButton>

ModalAnswerer::ModalAnswerer(QObject *parent) : QObject(parent) {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(5);
}

QString ModalAnswerer::describe(QMessageBox::Icon icon, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons) {
    static const char *const icons[] = {"none", "information", "warning", "critical", "question"};
    QStringList names;
    if (buttons & QMessageBox::Ok)
        names << QStringLiteral("Ok");
    if (buttons & QMessageBox::Yes)
        names << QStringLiteral("Yes");
    if (buttons & QMessageBox::No)
        names << QStringLiteral("No");
    if (buttons & QMessageBox::Cancel)
        names << QStringLiteral("Cancel");
    return QLatin1String(icons[int(icon)]) + QLatin1Char('|') + title + QLatin1Char('|') + text +
           QLatin1Char('|') + names.join(QLatin1Char('/'));
}

void ModalAnswerer::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal->property("answered").toBool() || !modal->isVisible())
        return;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        modal->setProperty("answered", true);
        seen << describe(box->icon(), box->windowTitle(), box->text(), box->standardButtons());
        QAbstractButton *button = box->button(m_answer);
        if (!button)
            button = box->defaultButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button)
            button->click();
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        modal->setProperty("answered", true);
        if (m_fileDialog)
            m_fileDialog(dialog);
        else
            dialog->reject();
    } else if (auto *yes = modal->findChild<QPushButton *>(QStringLiteral("cmdYes"))) {
        // The default-settings prompt: take the model's defaults.
        modal->setProperty("answered", true);
        seen << QStringLiteral("prompt|") + modal->windowTitle();
        yes->click();
    }
}

#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QPushButton>

ModalAnswerer::ModalAnswerer(QObject *parent) : ModalAnswerer({}, parent) {}

ModalAnswerer::ModalAnswerer(std::function<void(QWidget *)> handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)) {
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

bool ModalAnswerer::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Hide) {
        m_answeredNow.removeAll(qobject_cast<QWidget *>(watched));
        watched->removeEventFilter(this);
    }
    return false;
}

void ModalAnswerer::poll() {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || m_answeredNow.contains(modal) || !modal->isVisible())
        return;
    if (m_handler) {
        markAnswered(modal);
        m_handler(modal);
    } else {
        answerAsUser(modal);
    }
}

// Marked before it is answered: answering hides it.
void ModalAnswerer::markAnswered(QWidget *modal) {
    m_answeredNow << modal;
    modal->installEventFilter(this);
    ++m_answered;
}

void ModalAnswerer::answerAsUser(QWidget *modal) {
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        markAnswered(modal);
        seen << describe(box->icon(), box->windowTitle(), box->text(), box->standardButtons());
        QAbstractButton *button = box->button(m_answer);
        if (!button)
            button = box->defaultButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button)
            button->click();
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        markAnswered(modal);
        if (m_fileDialog)
            m_fileDialog(dialog);
        else
            dialog->reject();
    } else if (auto *yes = modal->findChild<QPushButton *>(QStringLiteral("yesButton"))) {
        // The default-settings prompt: take the model's defaults.
        markAnswered(modal);
        seen << QStringLiteral("prompt|") + modal->windowTitle();
        yes->click();
    }
}

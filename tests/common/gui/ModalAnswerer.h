#pragma once

#include "LayoutCheck.h"

#include <QtWidgets>

// Answers the modal windows the program opens, as a user would: message
// boxes with a chosen button, file dialogs through a handler, the
// default-settings prompt with the chosen button (Yes unless No or Cancel
// is chosen). Every box it met is kept as "icon|title|text|buttons"
// ("prompt|title" for the prompt, then any of its controls badly placed).
// Given a handler of its own, it hands every modal window to that instead.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(QObject *parent = nullptr) : ModalAnswerer({}, parent) {}
    explicit ModalAnswerer(std::function<void(QWidget *)> handler, QObject *parent = nullptr)
        : QObject(parent), m_handler(std::move(handler)) {
        qApp->installEventFilter(this);
    }

    // The button pressed in every message box from now on; a box without
    // it gets its first button.
    void setAnswer(QMessageBox::StandardButton button) { m_answer = button; }
    void setFileDialogHandler(std::function<void(QFileDialog *)> h) { m_fileDialog = std::move(h); }

    QStringList seen;
    // How many showings of a modal window it answered.
    int answered() const { return m_answered; }

    static QString describe(QMessageBox::Icon icon, const QString &title, const QString &text,
                            QMessageBox::StandardButtons buttons) {
        const QStringList icons{"none", "information", "warning", "critical", "question"};
        QStringList names;
        for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            if (buttons & b)
                names << QMetaEnum::fromType<decltype(buttons)>().valueToKey(b);
        return QStringList{icons[int(icon)], title, text, names.join('/')}.join('|');
    }

protected:
    // Every showing of a modal window is answered once its own event loop
    // runs; a window shown again, as the prompt is, is answered again.
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *modal = qobject_cast<QDialog *>(watched);
        if (event->type() == QEvent::Show && modal && modal->isModal())
            QTimer::singleShot(0, this, [this, m = QPointer<QDialog>(modal)] { answer(m); });
        return false;
    }

    void answer(QDialog *modal) {
        // Gone, or answered by another, before its turn came.
        if (!modal || !modal->isVisible())
            return;
        ++m_answered;
        if (m_handler) {
            m_handler(modal);
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << describe(box->icon(), box->windowTitle(), box->text(), box->standardButtons());
            (box->button(m_answer) ? box->button(m_answer) : box->buttons().first())->click();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            m_fileDialog ? m_fileDialog(files) : files->reject();
        } else if (modal->objectName() == QLatin1String("DefaultSettingsPrompt")) {
            const QStringList bad = badlyPlaced(*modal);
            seen << QStringLiteral("prompt|") + modal->windowTitle() +
                        (bad.isEmpty()
                             ? QString()
                             : QStringLiteral("|badly placed: ") + bad.join(QLatin1Char(',')));
            const char *name = m_answer == QMessageBox::No       ? "noButton"
                               : m_answer == QMessageBox::Cancel ? "cancelButton"
                                                                 : "yesButton";
            modal->findChild<QPushButton *>(QLatin1String(name))->click();
        }
    }

    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    std::function<void(QFileDialog *)> m_fileDialog;
    std::function<void(QWidget *)> m_handler;
    int m_answered = 0;
};

#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileDialog;

// Answers the modal windows the program opens, as a user would: message
// boxes with a chosen button, file dialogs through a handler, the
// default-settings prompt with Yes. Every box it met is kept as
// "icon|title|text|buttons" ("prompt|title" for the prompt). Given a
// handler of its own, it hands every modal window to that instead.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(QObject *parent = nullptr);
    explicit ModalAnswerer(std::function<void(QWidget *)> handler, QObject *parent = nullptr);

    // The button pressed in every message box from now on; a box without
    // it gets its default button.
    void setAnswer(QMessageBox::StandardButton button) { m_answer = button; }
    void setFileDialogHandler(std::function<void(QFileDialog *)> handler) {
        m_fileDialog = std::move(handler);
    }

    QStringList seen;
    // How many showings of a modal window it answered.
    int answered() const { return m_answered; }

    static QString describe(QMessageBox::Icon icon, const QString &title, const QString &text,
                            QMessageBox::StandardButtons buttons);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();
    void answerAsUser(QWidget *modal);
    void markAnswered(QWidget *modal);

    QTimer m_timer;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    std::function<void(QFileDialog *)> m_fileDialog;
    std::function<void(QWidget *)> m_handler;
    // Answered while shown; a window shown again, as the prompt is on every
    // download, is answered again.
    QList<QPointer<QWidget>> m_answeredNow;
    int m_answered = 0;
};

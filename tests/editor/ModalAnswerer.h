#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileDialog;

// Answers the modal windows the program opens, as a user would: message
// boxes with a chosen button, file dialogs through a handler, the
// default-settings prompt with Yes. Every box it met is kept as
// "icon|title|text|buttons" ("prompt|title" for the prompt).
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    explicit ModalAnswerer(QObject *parent = nullptr);

    // The button pressed in every message box from now on; a box without
    // it gets its default button.
    void setAnswer(QMessageBox::StandardButton button) { m_answer = button; }
    void setFileDialogHandler(std::function<void(QFileDialog *)> handler) {
        m_fileDialog = std::move(handler);
    }

    QStringList seen;

    static QString describe(QMessageBox::Icon icon, const QString &title, const QString &text,
                            QMessageBox::StandardButtons buttons);

private:
    void poll();

    QTimer m_timer;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    std::function<void(QFileDialog *)> m_fileDialog;
};

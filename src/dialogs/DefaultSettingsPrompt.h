#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class SettingsStore;

// The Yes/No/Cancel prompt with its "Don't show again" box. It stays alive
// (hidden) between showings, so its box and last answer survive.
class DefaultSettingsPrompt : public QDialog {
    Q_OBJECT
public:
    enum Answer : qint16 { Yes = 1, No = 2, Cancel = 3 };

    DefaultSettingsPrompt(SettingsStore &store, QWidget *parent = nullptr);

    bool never() const { return m_never; }
    void setNever(bool never);
    qint16 button() const { return m_button; }
    void setButton(qint16 button) { m_button = button; }
    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }

    // Shows the description modally and returns the answer; closing the
    // prompt without pressing a button counts as Cancel.
    qint16 ask();

    QLabel *descriptionLabel = nullptr;
    QCheckBox *neverBox = nullptr;
    QPushButton *yesButton = nullptr;
    QPushButton *noButton = nullptr;
    QPushButton *cancelButton = nullptr;

Q_SIGNALS:
    // The box changed: the main window's menu entry follows it.
    void neverChanged(bool never);

private:
    void answer(qint16 button);
    void neverToggled();

    SettingsStore &m_store;
    bool m_never = false;
    qint16 m_button = Cancel;
    QString m_description;
};

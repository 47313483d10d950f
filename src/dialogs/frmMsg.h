#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class SettingsStore;

// The Yes/No/Cancel prompt with its "Don't show again" box. It stays alive
// (hidden) between showings, so its box and last answer survive.
class frmMsg : public QDialog {
    Q_OBJECT
public:
    enum Answer : qint16 { Yes = 1, No = 2, Cancel = 3 };

    frmMsg(SettingsStore &store, QWidget *parent = nullptr);

    bool Never() const { return m_blnNever; }
    void setNever(bool blnNever);
    qint16 Button() const { return m_intButton; }
    void setButton(qint16 intButton) { m_intButton = intButton; }
    QString Description() const { return m_strDesc; }
    void setDescription(const QString &strDesc) { m_strDesc = strDesc; }

    // Shows the description modally and returns the answer; closing the
    // prompt without pressing a button counts as Cancel.
    qint16 ask();

    QLabel *lblDescription = nullptr;
    QCheckBox *chkNever = nullptr;
    QPushButton *cmdYes = nullptr;
    QPushButton *cmdNo = nullptr;
    QPushButton *cmdCancel = nullptr;

Q_SIGNALS:
    // The box changed: the main window's menu entry follows it.
    void neverChanged(bool never);

private:
    void answer(qint16 button);
    void chkNever_Click();

    SettingsStore &m_store;
    bool m_blnNever = false;
    qint16 m_intButton = Cancel;
    QString m_strDesc;
};

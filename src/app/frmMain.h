#pragma once

#include "EngineView.h"
#include "MainWindowUi.h"

#include <QMainWindow>

class InstanceLock;
class LinkTimers;
class SerialLink;
class SerialPortControl;
class SettingsStore;
struct SharedState;

// The main window: holds the controls, the links and the timers, runs the
// load step and the close path, and shows what the engine reports.
class frmMain : public QMainWindow, public EngineView {
    Q_OBJECT
public:
    static constexpr int kStandardWidthTwips = 5835;
    static constexpr int kLookupWidthTwips = 9840;
    static const QString kBlankStatus; // 59 blanks

    frmMain(SharedState &state, SettingsStore &store, InstanceLock *instanceLock,
            QWidget *parent = nullptr);
    ~frmMain() override;

    // Restores the settings into the shared state and the controls and
    // opens the serial port; runs before the window is first shown.
    void Form_Load();

    // Every way of quitting ends here.
    void cmdClose_Click();
    void cmdCancel_Click();
    void mnuFileExit_Click();
    void Toolbar1_ButtonClick(const QString &key);

    // Restores and raises the window (a second start asked for it).
    void bringToFront();

    // Left = (screen width - window width) / 2, top likewise.
    void CenterForm();
    // The window width for a view, in pixels at the screen's resolution.
    int twipsToPixels(int twips) const;
    void setViewWidth(int twips);

    void showSerialLinkDescription();
    void showSocketLinkDescription();

    const MainWindowUi &ui() const { return m_ui; }
    SerialLink &serialLink() { return *m_serial; }
    SerialPortControl &serialPort() { return *m_MSComm1; }
    LinkTimers &linkTimers() { return *m_timers; }
    QString helpFile() const { return m_helpFile; }

    // EngineView
    void setStatus(const QString &text) override;
    QString status() const override;
    void setProgressValue(int percent) override;
    void setProgressVisible(bool visible) override;
    void setCaption(const QString &caption) override;
    bool isPassThruChecked() const override;
    void setDownloadCommandsEnabled(bool enabled) override;
    void setModePanel(const QString &text) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectCommands();
    void ReleaseSingleInstance();

    SharedState &m_state;
    SettingsStore &m_store;
    InstanceLock *m_instanceLock;
    MainWindowUi m_ui;
    SerialPortControl *m_MSComm1;
    SerialLink *m_serial;
    LinkTimers *m_timers;
    QString m_helpFile;
};

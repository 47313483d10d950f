#pragma once

#include "EngineView.h"
#include "MainWindowUi.h"
#include "PrinterSelection.h"
#include "TrafficRecorder.h"

#include <QMainWindow>

#include <memory>

class DownloadSet;
class DownloadSetPanel;
class FileChooser;
class FileDropTarget;
struct DownloadEngine;
class InstanceLock;
class LinkTimers;
class QDockWidget;
class QtFileChooser;
class RatePanel;
class SerialLink;
class SerialPortControl;
class SetFileCommands;
class SettingsCommands;
class SettingsStore;
class SocketControl;
class SocketLink;
class StatusHistory;
class StatusLine;
class TrafficPane;
class DefaultSettingsPrompt;
struct SharedState;

// The main window: holds the controls, the links and the timers, runs the
// load step and the close path, and shows what the engine reports.
class MainWindow : public QMainWindow, public EngineView {
    Q_OBJECT
public:
    static const QString kBlankStatus; // 59 blanks

    MainWindow(SharedState &state, DownloadSet &set, SettingsStore &store,
               InstanceLock *instanceLock, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Restores the settings into the shared state and the controls and
    // opens the serial port; runs before the window is first shown.
    void restoreSettings();

    // Every way of quitting ends here.
    void closeProgram();
    void cancelDownload();
    void startDownload();
    void exitProgram();
    void showHelp();
    void toggleDefaultCheck();
    void toolbarButtonClicked(const QString &key);

    // Restores and raises the window (a second start asked for it).
    void bringToFront();

    // Left = (screen width - window width) / 2, top likewise.
    void centerWindow();
    // The window width for a view, in pixels at the screen's resolution.
    int scaledWidth(int width) const;
    void setViewWidth(int width);

    void showSerialLinkDescription();
    void showSocketLinkDescription();

    // The operator prompt for the chosen printer.
    void showOperatorPrompt();

    // Where the three adding commands get their files; Qt's dialog unless
    // a test puts its own in place.
    void setFileChooser(FileChooser &chooser);

    // The Traffic pane (made when first shown) and the status history in it.
    void showTrafficPane(bool shown);
    void showStatusHistory();

    const MainWindowUi &ui() const { return m_ui; }
    SerialLink &serialLink() { return *m_serial; }
    SerialPortControl &serialPort() { return *m_serialPort; }
    LinkTimers &linkTimers() { return *m_timers; }
    DownloadSetPanel &downloadSet() { return *m_setPanel; }
    PrinterSelection &printerSelection() { return *m_printers; }
    FileDropTarget &fileDrops() { return *m_drops; }
    DefaultSettingsPrompt &prompt() { return *m_prompt; }
    SettingsCommands &settingsCommands() { return *m_settings; }
    TrafficRecorder &trafficRecorder() { return m_trace; }
    // Null until the pane is first shown.
    TrafficPane *trafficPane() { return m_trafficPane; }
    StatusHistory &statusHistory() { return *m_history; }
    QString helpFile() const { return m_helpFile; }
    void setHelpFile(const QString &path) { m_helpFile = path; }

    // EngineView
    void setStatus(const QString &text) override;
    QString status() const override;
    void setProgressValue(int percent) override;
    void setProgressVisible(bool visible) override;
    void setCaption(const QString &caption) override;
    bool isPassThruChecked() const override;
    void setDownloadCommandsEnabled(bool enabled) override;
    void setModePanel(const QString &text) override;
    void setLinkPanel(const QString &text) override;
    void setDownloadLocked(bool locked) override;
    void focusDownloadButton() override;
    void selectLookup(int index) override;
    bool isDefaultPromptSuppressed() const override;
    int askDefaultSettings(const QString &description) override;
    void saveLinkSettings() override;
    void showInformation(const QString &title, const QString &text) override;

Q_SIGNALS:
    // Every status-line write, also one that repeats the text shown.
    void statusWritten(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectCommands();
    void createEditor();
    void releaseSingleInstance();
    void createTrafficView();
    void trafficPaneToggled(bool shown);
    void makeRoomForTrafficPane();

    SharedState &m_state;
    DownloadSet &m_set;
    SettingsStore &m_store;
    InstanceLock *m_instanceLock;
    MainWindowUi m_ui;
    // Before the links, which record into it.
    TrafficRecorder m_trace;
    SerialPortControl *m_serialPort;
    SerialLink *m_serial;
    LinkTimers *m_timers;
    SocketControl *m_socketControl;
    SocketLink *m_socket;
    std::unique_ptr<DownloadEngine> m_engine;
    std::unique_ptr<QtFileChooser> m_fileDialog;
    DownloadSetPanel *m_setPanel;
    PrinterSelection *m_printers;
    FileDropTarget *m_drops;
    DefaultSettingsPrompt *m_prompt;
    SettingsCommands *m_settings;
    SetFileCommands *m_setFiles;
    StatusLine *m_statusLine;
    StatusHistory *m_history;
    RatePanel *m_ratePanel;
    QDockWidget *m_trafficDock;
    TrafficPane *m_trafficPane = nullptr;
    // The pane's state as the store holds it.
    bool m_trafficShownStored = false;
    // Height the window grew by to show the pane.
    int m_trafficRoom = 0;
    QString m_helpFile;
};

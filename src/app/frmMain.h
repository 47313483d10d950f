#pragma once

#include "EngineView.h"
#include "MainWindowUi.h"
#include "PrinterSelection.h"

#include <QMainWindow>

#include <memory>

class DownloadCommand;
class DownloadSetPanel;
class FileChooser;
class FileDropTarget;
class FileTransfer;
class InstanceLock;
class LinkTimers;
class LookupStage;
class ModelSequences;
class QtFileChooser;
class SerialLink;
class SerialPortControl;
class SettingsStore;
class SocketChannel;
class frmMsg;
struct SharedState;

// The main window: holds the controls, the links and the timers, runs the
// load step and the close path, and shows what the engine reports.
class frmMain : public QMainWindow, public EngineView {
    Q_OBJECT
public:
    static constexpr int kStandardWidthTwips = PrinterSelection::kStandardWidthTwips;
    static constexpr int kLookupWidthTwips = PrinterSelection::kLookupWidthTwips;
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
    void cmdDownload_Click();
    void mnuFileExit_Click();
    void mnuHelpContents_Click();
    void mnuDefaultCheck_Click();
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

    // The operator prompt for the chosen printer.
    void Status_Caption();

    // Where the three adding commands get their files; Qt's dialog unless
    // a test puts its own in place.
    void setFileChooser(FileChooser &chooser);

    const MainWindowUi &ui() const { return m_ui; }
    SerialLink &serialLink() { return *m_serial; }
    SerialPortControl &serialPort() { return *m_MSComm1; }
    LinkTimers &linkTimers() { return *m_timers; }
    ModelSequences &modelSequences() { return *m_models; }
    DownloadSetPanel &downloadSet() { return *m_setPanel; }
    PrinterSelection &printerSelection() { return *m_printers; }
    FileDropTarget &fileDrops() { return *m_drops; }
    frmMsg &prompt() { return *m_frmMsg; }
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
    void setDownloadLocked(bool locked) override;
    void focusDownloadButton() override;
    bool isAppFileShown() const override;
    int lookupCount() const override;
    int firstLookupNumber() const override;
    int selectedLookup() const override;
    void selectLookup(int index) override;
    QString lookupName(int index) const override;
    QString lookupPath(int index) const override;
    bool isDefaultPromptSuppressed() const override;
    int askDefaultSettings(const QString &description) override;
    void SaveIt() override;

Q_SIGNALS:
    // Every status-line write, also one that repeats the text shown.
    void statusWritten(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectCommands();
    void createEditor();
    void ReleaseSingleInstance();

    SharedState &m_state;
    SettingsStore &m_store;
    InstanceLock *m_instanceLock;
    MainWindowUi m_ui;
    SerialPortControl *m_MSComm1;
    SerialLink *m_serial;
    LinkTimers *m_timers;
    std::unique_ptr<SocketChannel> m_Winsock1;
    std::unique_ptr<FileTransfer> m_transfer;
    std::unique_ptr<LookupStage> m_lookups;
    std::unique_ptr<ModelSequences> m_models;
    std::unique_ptr<DownloadCommand> m_download;
    std::unique_ptr<QtFileChooser> m_fileDialog;
    DownloadSetPanel *m_setPanel;
    PrinterSelection *m_printers;
    FileDropTarget *m_drops;
    frmMsg *m_frmMsg;
    QString m_helpFile;
};

#pragma once

#include "DownloadSetFile.h"

#include <QObject>
#include <QString>
#include <QStringList>

class DownloadSetPanel;
class EngineView;
class PrinterSelection;
class QAction;
class QMenu;
class QWidget;
class SerialChannel;
class SettingsStore;
class SocketChannel;
struct EditorControls;
struct SharedState;

// Download set files in the window: File -> Open Set..., Save Set As...,
// the recent sets and a set file dropped on the window. An opened set goes
// in through the same paths a user's choices take, so the printer, the
// link and the files keep their rules.
class SetFileCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentCount = 5;
    // The settings key of the recent sets, newest first.
    static const QString kRecentKey;

    SetFileCommands(QWidget &window, const EditorControls &ui, SharedState &state,
                    SettingsStore &store, EngineView &view, SerialChannel &serial,
                    SocketChannel &socket, DownloadSetPanel &panel, PrinterSelection &printers,
                    QAction &openAction, QMenu &recentMenu, QObject *parent = nullptr);

    void openSet();
    void saveSetAs();
    // Opens the set file at `path`; false when it was refused or unreadable
    // (and said so), or while a download runs.
    bool open(const QString &path);
    // Not while a download runs: the window locks the open command then.
    bool canOpen() const;
    static bool isSetFile(const QString &path);
    // The stored recent sets that are still there, newest first.
    QStringList recentSets() const;

private:
    QStringList storedRecent() const;
    void remember(const QString &path);
    void forget(const QString &path);
    void fillRecentMenu();
    // Replaces the window's set with `file`; the files it could not take.
    QStringList apply(const DownloadSetFile &file);
    void applyLink(const DownloadSetFile::Link &link);
    DownloadSetFile current() const;
    QString startFolder() const;
    void warn(const QString &text);

    QWidget &m_window;
    const EditorControls &m_ui;
    SharedState &m_state;
    SettingsStore &m_store;
    EngineView &m_view;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
    DownloadSetPanel &m_panel;
    PrinterSelection &m_printers;
    QAction &m_openAction;
    QMenu &m_recentMenu;
    QString m_lastFolder;
};

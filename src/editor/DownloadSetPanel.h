#pragma once

#include "WindowHooks.h"

#include <QObject>
#include <QStringList>

class DownloadSet;
class EngineView;
class FileChooser;
class QListWidget;
class QWidget;
class SerialChannel;
class SocketChannel;
struct FileRequest;
struct EditorControls;

// The download set: the application, the format and the ordered lookup
// list with its first number. Keeps the set consistent and the editing
// buttons and the Download commands in step with it.
class DownloadSetPanel : public QObject {
    Q_OBJECT
public:
    DownloadSetPanel(QWidget &window, const EditorControls &ui, DownloadSet &set, EngineView &view,
                     SerialChannel &serial, SocketChannel &socket, FileChooser &chooser,
                     WindowHooks hooks, QObject *parent = nullptr);

    void setFileChooser(FileChooser &chooser) { m_chooser = &chooser; }

    // Fills the first-lookup-number list "0" to "9" and picks "0".
    void fillFirstLookupList();

    void addApplication();
    void removeApplication();
    void addFormat();
    void removeFormat();
    void addLookups();
    void removeLookup();
    void removeAll();
    void moveLookupUp();
    void moveLookupDown();
    void lookupClicked();
    void lookupDoubleClicked();

    // What a chosen or dropped file does to the set.
    void takeApplication(const QString &path);
    void takeFormat(const QString &path);
    void takeLookups(const QStringList &chosen);

    bool isApplicationChosen() const;
    const DownloadSet &set() const { return m_set; }

protected:
    // Ctrl+Up and Ctrl+Down move the current lookup, Delete removes it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int lookupCount() const;
    // Shows the set's lookups and makes `current` the current entry.
    void showLookups(int current);
    void moveLookup(int step);
    void enableAdd();
    void setFormatGroupEnabled(bool enabled);
    void listButtonsForEmptyList();
    void listButtonsForNonEmptyList();
    void warn(const QString &text);
    // A pipe, a device or a folder is refused with a box; true when refused.
    bool refusesUnsendable(const QString &path);
    // Says so in the status line when a chosen file has no bytes.
    void showIfEmpty(const QString &path);
    FileRequest request(const QString &filter, bool multiple) const;

    QWidget &m_window;
    const EditorControls &m_ui;
    DownloadSet &m_set;
    EngineView &m_view;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
    FileChooser *m_chooser;
    WindowHooks m_hooks;
};

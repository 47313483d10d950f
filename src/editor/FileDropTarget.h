#pragma once

#include <QObject>
#include <QStringList>

class DownloadSetPanel;
class QWidget;
class SetFileCommands;
struct EditorControls;

// Files dropped onto the window join the download set by their extension:
// an application, a format, lookup tables. Each goes in only where its own
// button could take it now, so a drop keeps the set's rules. A dropped
// download set file is opened instead, replacing the set.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    FileDropTarget(QWidget &window, const EditorControls &ui, DownloadSetPanel &panel,
                   QObject *parent = nullptr);

    void setSetFiles(SetFileCommands &sets) { m_sets = &sets; }

    // Whether a drop of these files would change the set.
    bool accepts(const QStringList &paths) const;
    void drop(const QStringList &paths);

Q_SIGNALS:
    // A drop has changed the set (after any question it asked).
    void dropped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Sorted {
        QString application;
        QString format;
        QStringList lookups;
    };
    static Sorted sort(const QStringList &paths);
    bool lookupsWelcome() const;
    // The first download set file among `paths`, when one may be opened.
    QString setFileIn(const QStringList &paths) const;

    QWidget &m_window;
    const EditorControls &m_ui;
    DownloadSetPanel &m_panel;
    SetFileCommands *m_sets = nullptr;
};

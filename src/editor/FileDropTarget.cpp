#include "FileDropTarget.h"

#include "DownloadSetPanel.h"
#include "DownloadSetRules.h"
#include "EditorControls.h"
#include "SetFileCommands.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWidget>

using namespace DownloadSetRules;

namespace {
QStringList localFiles(const QMimeData *mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            paths << url.toLocalFile();
    }
    return paths;
}
} // namespace

FileDropTarget::FileDropTarget(QWidget &window, const EditorControls &ui, DownloadSetPanel &panel,
                               QObject *parent)
    : QObject(parent), m_window(window), m_ui(ui), m_panel(panel) {
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
}

FileDropTarget::Sorted FileDropTarget::sort(const QStringList &paths) {
    // One application and one format at most; the first of each counts.
    Sorted sorted;
    for (const QString &path : paths) {
        switch (kindOf(path)) {
        case FileKind::Application:
            if (sorted.application.isEmpty())
                sorted.application = path;
            break;
        case FileKind::Format:
            if (sorted.format.isEmpty())
                sorted.format = path;
            break;
        case FileKind::Lookup:
            sorted.lookups << path;
            break;
        case FileKind::Other:
            break;
        }
    }
    return sorted;
}

bool FileDropTarget::lookupsWelcome() const {
    // The standard view holds no lookups.
    return m_ui.addLookupButton->isEnabled() && m_ui.lookupGroup->isVisibleTo(&m_window);
}

QString FileDropTarget::setFileIn(const QStringList &paths) const {
    if (!m_sets)
        return {};
    for (const QString &path : paths)
        if (SetFileCommands::isSetFile(path))
            return path;
    return {};
}

bool FileDropTarget::accepts(const QStringList &paths) const {
    // A set file replaces the whole set; it is taken only while one may be opened.
    if (!setFileIn(paths).isEmpty())
        return m_sets->canOpen();
    const Sorted sorted = sort(paths);
    const bool application = !sorted.application.isEmpty() && m_ui.addAppButton->isEnabled();
    // A format needs a chosen application that is not a bundle.
    const bool format =
        !sorted.format.isEmpty() && (m_ui.addFormatButton->isEnabled() ||
                                     (application && !isAllFile(fileTitle(sorted.application))));
    const bool lookups = !sorted.lookups.isEmpty() && lookupsWelcome();
    return application || format || lookups;
}

void FileDropTarget::drop(const QStringList &paths) {
    if (const QString set = setFileIn(paths); !set.isEmpty()) {
        m_sets->open(set);
        return;
    }
    const Sorted sorted = sort(paths);
    if (!sorted.application.isEmpty() && m_ui.addAppButton->isEnabled())
        m_panel.takeApplication(sorted.application);
    if (!sorted.format.isEmpty() && m_ui.addFormatButton->isEnabled())
        m_panel.takeFormat(sorted.format);
    if (!sorted.lookups.isEmpty() && lookupsWelcome())
        m_panel.takeLookups(sorted.lookups);
}

bool FileDropTarget::eventFilter(QObject *watched, QEvent *event) {
    if (watched != &m_window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (accepts(localFiles(drag->mimeData())))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *dropEvent = static_cast<QDropEvent *>(event);
        const QStringList paths = localFiles(dropEvent->mimeData());
        if (!accepts(paths)) {
            dropEvent->ignore();
            return true;
        }
        dropEvent->acceptProposedAction();
        // The set may ask questions; they come after the drop has ended, so
        // the program the files came from is not kept waiting.
        QTimer::singleShot(0, this, [this, paths] {
            drop(paths);
            Q_EMIT dropped();
        });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

#pragma once

#include <QtWidgets>

// Files dragged from a file manager onto the middle of a window.
class FileDrag : public QMimeData {
public:
    FileDrag(QWidget &target, const QStringList &paths) : m_target(target) {
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        setUrls(urls);
    }
    // Whether the window would take the files.
    bool enter() { return send<QDragEnterEvent>(); }
    // Lets them go; whether the window took them.
    bool drop() { return send<QDropEvent>(); }
    template <class Event> bool send() {
        Event event(m_target.rect().center(), Qt::CopyAction, this, Qt::LeftButton, {});
        QApplication::sendEvent(&m_target, &event);
        return event.isAccepted();
    }
    QWidget &m_target;
};

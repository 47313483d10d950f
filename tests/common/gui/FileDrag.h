#pragma once

#include <QMimeData>
#include <QPoint>
#include <QStringList>

class QWidget;

// Files dragged from a file manager onto the middle of a window.
class FileDrag {
public:
    FileDrag(QWidget &target, const QStringList &paths);

    // Whether the window would take the files.
    bool enter();
    // Lets them go; whether the window took them.
    bool drop();

private:
    QWidget &m_target;
    QMimeData m_mime;
    QPoint m_at;
};

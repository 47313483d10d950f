#pragma once

#include <QAccessible>
#include <QLabel>
#include <QWidget>

#include <algorithm>

// The controls of a shown window that do not show whole, overlap another,
// or have no name (object name and accessible name); empty when all do.
inline QStringList badlyPlaced(const QWidget &window) {
    QStringList bad;
    QList<QRect> taken;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isVisible() || (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QLabel *>(w)))
            continue;
        const QRect r(w->mapTo(&window, QPoint()), w->size());
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        if (!window.rect().contains(r) || w->objectName().isEmpty() ||
            r.size() != r.size().expandedTo(w->minimumSizeHint()) || name.isEmpty() ||
            std::ranges::any_of(taken, [&r](QRect o) { return o.intersects(r); }))
            bad << (w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName());
        taken << r;
    }
    return bad;
}

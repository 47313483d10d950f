#include "FileDrag.h"

#include <QApplication>
#include <QDropEvent>
#include <QList>
#include <QUrl>
#include <QWidget>

FileDrag::FileDrag(QWidget &target, const QStringList &paths)
    : m_target(target), m_at(target.rect().center()) {
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    m_mime.setUrls(urls);
}

bool FileDrag::enter() {
    QDragEnterEvent event(m_at, Qt::CopyAction, &m_mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_target, &event);
    return event.isAccepted();
}

bool FileDrag::drop() {
    QDropEvent event(m_at, Qt::CopyAction, &m_mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_target, &event);
    return event.isAccepted();
}

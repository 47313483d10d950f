#include "TypedKeyFilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

TypedKeyFilter::TypedKeyFilter(std::function<bool(QChar)> allowed, QObject *parent)
    : QObject(parent), m_allowed(std::move(allowed)) {}

void TypedKeyFilter::watch(QWidget *widget) {
    widget->installEventFilter(this);
}

bool TypedKeyFilter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty()) {
            const QChar c = text.at(0);
            const bool typed = c.isPrint() || c == QLatin1Char('\b');
            if (typed && !m_allowed(c))
                return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

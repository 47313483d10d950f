#include "StatusLine.h"

#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

StatusLine::StatusLine(QWidget *parent) : QLabel(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

StatusLine *StatusLine::takePlaceOf(QLabel *label) {
    auto *line = new StatusLine(label->parentWidget());
    line->setObjectName(label->objectName());
    line->setText(label->text());
    line->setAccessibleName(label->accessibleName());
    line->setAccessibleDescription(label->accessibleDescription());
    line->setSizePolicy(label->sizePolicy());
    line->setFrameStyle(label->frameStyle());
    line->setAlignment(label->alignment());
    if (QLayout *layout = label->parentWidget() ? label->parentWidget()->layout() : nullptr)
        delete layout->replaceWidget(label, line);
    delete label;
    return line;
}

QRect StatusLine::textRect() const {
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

QString StatusLine::elided() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, textRect().width());
}

void StatusLine::updateToolTip(const QString &shown) {
    const QString tip = shown == text() ? QString() : text();
    if (toolTip() != tip)
        setToolTip(tip);
}

bool StatusLine::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip)
        updateToolTip(elided());
    return QLabel::event(event);
}

void StatusLine::paintEvent(QPaintEvent *event) {
    // The frame as a label draws it, then the text elided to fit.
    QFrame::paintEvent(event);
    const QString shown = elided();
    updateToolTip(shown);
    QPainter painter(this);
    const QRect rect = textRect();
    style()->drawItemText(&painter, rect,
                          int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(),
                          isEnabled(), shown, foregroundRole());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void StatusLine::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT activated();
    QLabel::mouseReleaseEvent(event);
}

void StatusLine::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Q_EMIT activated();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

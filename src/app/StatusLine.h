#pragma once

#include <QLabel>

// The status line: a text too long for it is painted elided in the middle
// and has the whole text as its tool tip, while the label's text (what
// screen readers read) stays whole. A click, Enter or Space asks for the
// status history.
class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget *parent = nullptr);

    // A status line in place of `label`, with its name, text, description,
    // frame and layout place; `label` is deleted.
    static StatusLine *takePlaceOf(QLabel *label);

Q_SIGNALS:
    void activated();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect textRect() const;
    QString elided() const;
    // The tool tip follows what is painted. Measuring the text each time it
    // is set would cost more than setting it: a status comes with every reply.
    void updateToolTip(const QString &shown);
};

#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Filters the characters typed into a list box key by key: a character
// that `allowed` refuses is discarded. Keys that type nothing (arrows, Tab,
// Enter, Escape) always pass, so the list can still be worked by keyboard.
class TypedKeyFilter : public QObject {
    Q_OBJECT
public:
    TypedKeyFilter(std::function<bool(QChar)> allowed, QObject *parent);

    // Also watch the drop-down's own view: it searches as the user types.
    void watch(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(QChar)> m_allowed;
};

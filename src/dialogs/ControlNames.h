#pragma once

#include <QString>

// How the window and the dialogs name their controls: the object name says the control's
// role (tests and tools find it by it), and a control with a tool tip is
// described by it to assistive technology.
namespace ControlNames {

template <typename T> T *named(T *object, const QString &name) {
    object->setObjectName(name);
    return object;
}

template <typename T> T *tipped(T *widget, const QString &tip) {
    widget->setToolTip(tip);
    widget->setAccessibleDescription(tip);
    return widget;
}

template <typename T> T *tipped(T *widget, const char *name, const QString &tip) {
    return tipped(named(widget, QLatin1String(name)), tip);
}

} // namespace ControlNames

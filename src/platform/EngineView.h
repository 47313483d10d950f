#pragma once

#include <QString>

// What the engine may do to the main window. Implemented by the window and
// by a recording fake in tests; the engine knows nothing about widgets.
class EngineView {
public:
    virtual ~EngineView() = default;

    virtual void setStatus(const QString &text) = 0;
    virtual QString status() const = 0;

    virtual void setProgressValue(int percent) = 0;
    virtual void setProgressVisible(bool visible) = 0;

    virtual void setCaption(const QString &caption) = 0;

    virtual bool isPassThruChecked() const = 0;

    // The three Download commands: button, menu entry and toolbar button.
    virtual void setDownloadCommandsEnabled(bool enabled) = 0;

    // Panel 2 of the status bar ("Serial Mode" / "TCP/IP Mode").
    virtual void setModePanel(const QString &text) = 0;
};

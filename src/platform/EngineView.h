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
    // Panel 1 of the status bar: the link's details.
    virtual void setLinkPanel(const QString &text) = 0;

    // Locked: Close, the four frames and every command that changes the set,
    // the view or the link disabled, Cancel enabled. Unlocked: the reverse.
    // The Download commands are switched apart.
    virtual void setDownloadLocked(bool locked) = 0;
    virtual void focusDownloadButton() = 0;

    // Marks the lookup being sent in the window's list.
    virtual void selectLookup(int index) = 0;

    // The default-settings prompt: whether "Don't show again" is checked,
    // and the answer (1 Yes, 2 No, 3 Cancel) to a question.
    virtual bool isDefaultPromptSuppressed() const = 0;
    virtual int askDefaultSettings(const QString &description) = 0;

    // Writes the link settings to the store and shows them.
    virtual void saveLinkSettings() = 0;

    // A message box with the information icon and an OK button; returns
    // once the operator has closed it.
    virtual void showInformation(const QString &title, const QString &text) = 0;
};

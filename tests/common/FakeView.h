#pragma once

#include "EngineView.h"

#include <QStringList>

// Records what the engine shows last, and answers as a user would.
class FakeView : public EngineView {
public:
    QString current;
    int progressValue = -1;
    bool progressVisible = true;
    QStringList captions;
    bool passThru = false;
    bool downloadEnabled = false;
    bool locked = false;
    QString modePanel;
    QString linkPanel;

    int selected = -1;

    bool promptSuppressed = false;
    int promptAnswer = 2;
    QStringList prompts;
    int saveItCalls = 0;
    QStringList boxes;

    void setStatus(const QString &text) override { current = text; }
    QString status() const override { return current; }
    void setProgressValue(int percent) override { progressValue = percent; }
    void setProgressVisible(bool visible) override { progressVisible = visible; }
    void setCaption(const QString &text) override { captions << text; }
    bool isPassThruChecked() const override { return passThru; }
    void setDownloadCommandsEnabled(bool enabled) override { downloadEnabled = enabled; }
    void setModePanel(const QString &text) override { modePanel = text; }
    void setLinkPanel(const QString &text) override { linkPanel = text; }
    void setDownloadLocked(bool on) override { locked = on; }
    void focusDownloadButton() override {}
    void selectLookup(int index) override { selected = index; }
    bool isDefaultPromptSuppressed() const override { return promptSuppressed; }
    int askDefaultSettings(const QString &description) override {
        prompts << description;
        return promptAnswer;
    }
    void saveLinkSettings() override { ++saveItCalls; }
    void showInformation(const QString &title, const QString &text) override {
        boxes << title + '|' + text;
    }
};

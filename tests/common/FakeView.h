#pragma once

#include "EngineView.h"

#include <QStringList>

// Records what the engine shows, in order.
class FakeView : public EngineView {
public:
    QStringList statuses;
    QString current;
    int progressValue = -1;
    bool progressVisible = true;
    QString caption;
    bool passThru = false;
    bool downloadEnabled = false;
    QString modePanel;

    void setStatus(const QString &text) override {
        current = text;
        statuses << text;
    }
    QString status() const override { return current; }
    void setProgressValue(int percent) override { progressValue = percent; }
    void setProgressVisible(bool visible) override { progressVisible = visible; }
    void setCaption(const QString &text) override { caption = text; }
    bool isPassThruChecked() const override { return passThru; }
    void setDownloadCommandsEnabled(bool enabled) override { downloadEnabled = enabled; }
    void setModePanel(const QString &text) override { modePanel = text; }
};

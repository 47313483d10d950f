#pragma once

#include "EngineView.h"

#include <QElapsedTimer>

#include <cstdio>
#include <functional>

// The window's part in a program without one. Each status text goes to
// standard error on a line of its own, with a progress line under them
// when that is a terminal; the default-settings question is answered as
// --line-settings says; information boxes print their text. Link settings
// are never saved: the settings store belongs to the window's user.
class HeadlessView : public EngineView {
public:
    HeadlessView(bool passThrough, bool takeModelSettings, std::FILE *out = stderr);

    // The bytes sent so far, for the progress line's rate.
    void setByteCounter(std::function<qint64()> counter) { m_bytes = std::move(counter); }
    // A line of this program's own, among the status lines.
    void print(const QString &text);
    // Takes the progress line away.
    void finish();

    bool downloadCommandsEnabled() const { return m_commandsEnabled; }

    void setStatus(const QString &text) override;
    QString status() const override { return m_status; }
    void setProgressValue(int percent) override;
    void setProgressVisible(bool visible) override;
    void setCaption(const QString &) override {}
    bool isPassThruChecked() const override { return m_passThrough; }
    void setDownloadCommandsEnabled(bool enabled) override { m_commandsEnabled = enabled; }
    void setModePanel(const QString &) override {}
    void setLinkPanel(const QString &) override {}
    void setDownloadLocked(bool) override {}
    void focusDownloadButton() override {}
    void selectLookup(int) override {}
    bool isDefaultPromptSuppressed() const override { return false; }
    int askDefaultSettings(const QString &description) override;
    void saveLinkSettings() override {}
    void showInformation(const QString &title, const QString &text) override;

private:
    void drawProgress(bool force);
    void clearProgress();

    std::FILE *m_out;
    const bool m_terminal;
    const bool m_passThrough;
    const bool m_takeModelSettings;
    bool m_commandsEnabled = false;
    QString m_status;
    std::function<qint64()> m_bytes;

    // The progress line (terminal only).
    bool m_progressVisible = false;
    bool m_progressShown = false;
    int m_percent = 0;
    qint64 m_bytesAtStart = 0;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceDrawn;
};

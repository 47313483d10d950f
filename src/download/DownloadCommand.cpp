#include "DownloadCommand.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "DownloadSetRules.h"
#include "EngineView.h"
#include "FileSender.h"
#include "LinkTimers.h"
#include "LookupStage.h"
#include "ModelSequences.h"
#include "Pause.h"
#include "PrinterModels.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <algorithm>

namespace {
// Every reply wait lasts at least this long, whatever "Timeout" says.
constexpr float kShortestReplyWait = 30.0f;
} // namespace

DownloadCommand::DownloadCommand(SharedState &state, const DownloadSet &set,
                                 const SettingsStore &store, EngineView &view,
                                 SerialChannel &serial, SocketChannel &socket, FileSender &sender,
                                 LookupStage &lookups, ModelSequences &models, LinkTimers *timers)
    : m_state(state), m_set(set), m_store(store), m_view(view), m_serial(serial), m_socket(socket),
      m_sender(sender), m_lookups(lookups), m_models(models), m_timers(timers) {}

QString DownloadCommand::defaultSettingsQuestion(const LineDefaults &defaults) {
    return QStringLiteral("The Communication Setting for the ") + QLatin1String(defaults.family) +
           QStringLiteral(" is not the default setting for the Printer.\r\n\r\n"
                          "Do you want to set default comm settings?");
}

DownloadCommand::Offer DownloadCommand::offerDefaultSettings() {
    const PrinterModel *model = PrinterModels::find(m_state.printer);
    const LineDefaults *defaults =
        model ? PrinterModels::defaultsToOffer(*model, m_view.isPassThruChecked(), m_state.mode)
              : nullptr;
    // Exact comparison: "9600,N,8,1" is not "9600,n,8,1".
    if (!defaults || m_serial.portSettings() == QLatin1String(defaults->settings) ||
        m_view.isDefaultPromptSuppressed())
        return Offer::Proceed;

    const int button = m_view.askDefaultSettings(defaultSettingsQuestion(*defaults));
    if (button == 1) {
        m_serial.closePort();
        m_state.lineSettings = QLatin1String(defaults->settings);
        m_state.handshaking = defaults->handshaking;
        m_serial.applyPortSettings(m_state.handshaking, m_state.lineSettings, m_state.comPort);
        m_serial.openPort();
        m_view.saveLinkSettings();
    } else if (button == 3) {
        m_models.showOperatorPrompt();
        m_view.setDownloadLocked(false);
        m_view.setProgressValue(0);
        m_view.setProgressVisible(false);
        m_view.setDownloadCommandsEnabled(true);
        m_view.focusDownloadButton();
        return Offer::Cancelled;
    }
    return Offer::Proceed;
}

void DownloadCommand::run() {
    m_view.setDownloadCommandsEnabled(false);
    m_view.setDownloadLocked(true);
    m_state.breakSeen = false;
    m_state.abortRequested = false;
    m_state.downloadError = false;
    m_state.operatorCancelled = false;
    m_state.transferFailure.clear();
    // Read once for the whole download.
    if (const auto v = SettingText::toSingle(m_store.read(QStringLiteral("Timeout"), "25")))
        m_state.replyTimeout = *v;
    m_state.replyTimeout = std::max(m_state.replyTimeout, kShortestReplyWait);

    // A file turned into a pipe or a device since it was chosen would block
    // the window when opened: nothing is sent.
    if (const QString bad = unsendableFile(); !bad.isEmpty()) {
        m_view.setStatus(DownloadSetRules::notSendableText(bad));
        m_state.downloadError = true;
        m_state.transferFailure = m_view.status();
        endStage(false);
        return;
    }

    // The mode dialog shows the link in use.
    if (m_state.mode == 0) {
        m_serial.openPort();
        m_state.modeOption = 0;
    } else if (m_state.mode == 1) {
        m_socket.connectToPrinter();
        m_state.modeOption = 1;
    }

    if (offerDefaultSettings() == Offer::Cancelled)
        return;

    endStage(runStages());
}

QString DownloadCommand::unsendableFile() const {
    QStringList paths{m_set.applicationPath(), m_set.formatPath()};
    for (const DownloadSet::Lookup &lookup : m_set.lookups())
        paths << lookup.path;
    for (const QString &path : paths)
        if (!path.isEmpty() && !DownloadSetRules::isSendable(path))
            return path;
    return {};
}

bool DownloadCommand::stopsAfterStage() {
    // The sequences clear abortRequested; the operator's Cancel still stops
    // everything after them.
    if (m_state.abortRequested || m_state.operatorCancelled) {
        m_view.setStatus(QStringLiteral("Cancelled"));
        return true;
    }
    return m_state.downloadError;
}

bool DownloadCommand::runStages() {
    m_view.setStatus(QStringLiteral("Working..."));
    m_models.run();
    if (stopsAfterStage())
        return false;

    if (m_set.hasFormat()) {
        float pause = 4.0f;
        pauseFor(m_state, pause);
        if (m_state.operatorCancelled) {
            m_view.setStatus(QStringLiteral("Cancelled"));
            return false;
        }
        m_sender.send(FileSender::Kind::Format, m_set.formatPath(), m_set.formatName());
        if (stopsAfterStage())
            return false;
    }

    // With no lookups, an application still gets the closing packet.
    if (m_set.lookupCount() > 0) {
        if (m_lookups.run() == LookupStage::Next::EndStage || m_state.operatorCancelled)
            return false;
    } else if (!m_set.hasApplication()) {
        return m_set.hasFormat();
    }

    sendClosingPacket();
    // "Download Complete" once the closing packet has left, not when it was queued.
    if (m_state.mode == 0)
        m_serial.drainOutput();
    if (succeeded(true))
        m_view.setStatus(QStringLiteral("Download Complete"));
    return true;
}

void DownloadCommand::sendClosingPacket() {
    const bool serial = m_state.mode == 0;
    ClosingPacket closing{"{S }", true, true};
    if (!(m_set.hasApplication() && m_state.appSent)) {
        const PrinterModel *model = PrinterModels::find(m_state.printer);
        closing = model ? model->closing : ClosingPacket{};
    }
    if (serial ? closing.announceOnSerial : closing.announceOnTcp)
        m_view.setStatus(QStringLiteral("SENDING {S }"));
    m_sender.sendBytes(QByteArray(closing.packet));
}

bool DownloadCommand::succeeded(bool completed) const {
    // Only a download that went through without a failure or a cancel is
    // complete; otherwise the text that says what happened stays.
    return completed && !m_state.downloadError && !m_state.operatorCancelled &&
           m_state.transferFailure.isEmpty();
}

void DownloadCommand::endStage(bool completed) {
    const bool passThru = m_view.isPassThruChecked();
    if (PrinterModels::passesThrough(m_state.printer)) {
        if (passThru && !m_state.abortRequested && !m_state.operatorCancelled) {
            // The reset writes over the status; the failure is what it ends with.
            if (m_state.downloadError && m_state.transferFailure.isEmpty())
                m_state.transferFailure = m_view.status();
            m_view.setStatus(QStringLiteral("Resetting Printer ..."));
            if (m_timers)
                m_timers->startResetDelay();
        } else {
            if (m_timers)
                m_timers->resetTimer().stop();
            m_view.setDownloadCommandsEnabled(true);
        }
    }
    if (!passThru) {
        m_view.setDownloadCommandsEnabled(true);
        if (succeeded(completed))
            m_view.setStatus(QStringLiteral("Download Complete"));
        // A failure the later stages wrote over (a packet error, CP=4) is
        // what the operator must read last.
        else if (!m_state.transferFailure.isEmpty() && !m_state.operatorCancelled)
            m_view.setStatus(m_state.transferFailure);
    }
    m_view.setDownloadLocked(false);
    m_view.setProgressValue(0);
    m_view.setProgressVisible(false);
}

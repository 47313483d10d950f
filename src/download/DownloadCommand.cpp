#include "DownloadCommand.h"

#include "Channels.h"
#include "EngineView.h"
#include "FileTransfer.h"
#include "LinkTimers.h"
#include "LookupStage.h"
#include "Pause.h"
#include "SharedState.h"
#include "TransferApi.h"

namespace {
const QString kQuestion = QStringLiteral("Do you want to set default comm settings?");

QString notDefault(const char *model) {
    return QStringLiteral("The Communication Setting for the ") + QLatin1String(model) +
           QStringLiteral(" is not the default setting for the Printer.");
}
} // namespace

DownloadCommand::DownloadCommand(SharedState &state, EngineView &view, SerialChannel &serial,
                                 SocketChannel &socket, FileTransfer &transfer,
                                 LookupStage &lookups, ModelSequencer &models, LinkTimers *timers)
    : m_state(state), m_view(view), m_serial(serial), m_socket(socket), m_transfer(transfer),
      m_lookups(lookups), m_models(models), m_timers(timers) {}

bool DownloadCommand::defaultSettingsFor(int printer, bool passThru, int mode,
                                         DefaultSettings *out) {
    const bool serial = mode == 0;
    switch (printer) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        *out = {QStringLiteral("9600,o,7,1"), 1, notDefault("Q410/15/17")};
        return true;
    case Printers::K72e:
        if (!passThru) {
            *out = {QStringLiteral("19200,n,8,1"), 2, notDefault("K72e")};
            return true;
        }
        *out = {QStringLiteral("9600,n,8,1"), 1, notDefault("R3xx")};
        return serial;
    case Printers::Q412:
        *out = {QStringLiteral("9600,n,8,1"), 1, notDefault("Q412")};
        return true;
    case Printers::T540:
        *out = {QStringLiteral("9600,n,8,1"), 1, notDefault("T540")};
        return serial;
    case Printers::R300:
        *out = {QStringLiteral("9600,n,8,1"), 1, notDefault("R3xx")};
        return serial;
    case Printers::T523:
        *out = {QStringLiteral("9600,n,8,1"), 1, notDefault("T523")};
        return serial;
    default:
        return false;
    }
}

DownloadCommand::Offer DownloadCommand::offerDefaultSettings() {
    DefaultSettings defaults;
    if (!defaultSettingsFor(m_state.printer, m_view.isPassThruChecked(), m_state.mode, &defaults))
        return Offer::Proceed;
    // Exact comparison: "9600,N,8,1" is not "9600,n,8,1".
    if (m_serial.portSettings() == defaults.settings || m_view.isDefaultPromptSuppressed())
        return Offer::Proceed;

    const int button =
        m_view.askDefaultSettings(defaults.message + QStringLiteral("\r\n\r\n") + kQuestion);
    if (button == 1) {
        m_serial.closePort();
        m_state.lineSettings = defaults.settings;
        m_state.handshaking = qint16(defaults.handshaking);
        m_serial.applyPortSettings(m_state.handshaking, m_state.lineSettings, m_state.comPort);
        m_serial.openPort();
        m_view.saveLinkSettings();
    } else if (button == 3) {
        m_models.showOperatorPrompt();
        m_state.downloadDone = true;
        m_view.setDownloadLocked(false);
        m_view.setProgressValue(0);
        m_view.setProgressVisible(false);
        m_view.setDownloadCommandsEnabled(true);
        m_view.focusDownloadButton();
        return Offer::Cancelled;
    }
    return Offer::Proceed;
}

void DownloadCommand::startDownload() {
    // lock the window
    m_view.setDownloadCommandsEnabled(false);
    m_view.setDownloadLocked(true);
    m_state.breakSeen = false;
    m_state.downloadDone = false;
    m_state.abortRequested = false;
    m_state.downloadError = false;
    m_state.operatorCancelled = false;
    m_state.transferFailure.clear();

    // open the link; the mode dialog shows the link in use
    if (m_state.mode == 0) {
        m_serial.openPort();
        m_state.modeOption = 0;
    } else if (m_state.mode == 1) {
        m_socket.connectToPrinter();
        m_state.modeOption = 1;
    }

    // the model's default serial settings
    if (offerDefaultSettings() == Offer::Cancelled)
        return;

    endStage(runStages());
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
    // the model's sequence
    m_view.setStatus(QStringLiteral("Working..."));
    if (m_state.printer == Printers::K72e) {
        if (m_state.abortRequested)
            m_view.setStatus(QStringLiteral("Cancelled"));
        if (m_state.abortRequested || m_state.downloadError)
            return false;
    }
    m_models.runSequence();
    if (stopsAfterStage())
        return false;

    // the format file, after a pause
    if (!m_state.formatPath.isEmpty()) {
        float pause = 4.0f;
        Pause(m_state, pause);
        if (m_state.operatorCancelled) {
            m_view.setStatus(QStringLiteral("Cancelled"));
            return false;
        }
        m_transfer.sendFormat();
        if (stopsAfterStage())
            return false;
    }

    // the lookups; with none, an application still gets the closing packet
    if (m_view.lookupCount() > 0) {
        if (m_lookups.run() == LookupStage::Next::EndStage || m_state.operatorCancelled)
            return false;
    } else if (!m_view.isAppFileShown()) {
        return !m_state.formatPath.isEmpty();
    }

    // the closing packet
    sendClosingPacket();
    if (succeeded(true))
        m_view.setStatus(QStringLiteral("Download Complete"));
    return true;
}

void DownloadCommand::sendClosingPacket() {
    const bool serial = m_state.mode == 0;
    const int printer = m_state.printer;
    QByteArray packet = QByteArrayLiteral("{Q }");
    bool announce = false;
    if (m_view.isAppFileShown() && m_state.appSent) {
        packet = QByteArrayLiteral("{S }");
        announce = true;
    } else if (printer == Printers::K72e) {
        packet = QByteArrayLiteral("{S }");
        announce = true;
    } else if (printer == Printers::Q412) {
        packet = QByteArrayLiteral("{S }");
        announce = serial;
    } else if (printer == Printers::T540 || printer == Printers::T523) {
        packet = QByteArrayLiteral("{S }");
    }
    if (announce)
        m_view.setStatus(QStringLiteral("SENDING {S }"));
    if (serial) {
        m_serial.send(packet);
    } else if (m_state.mode == 1) {
        float timeout = 10.0f;
        m_socket.send(packet, timeout);
    }
}

bool DownloadCommand::succeeded(bool completed) const {
    // Only a download that went through without a failure or a cancel is
    // complete; otherwise the text that says what happened stays.
    return completed && !m_state.downloadError && !m_state.operatorCancelled &&
           m_state.transferFailure.isEmpty();
}

void DownloadCommand::endStage(bool completed) {
    const bool passThru = m_view.isPassThruChecked();
    if (m_state.printer == Printers::K72e) {
        if (passThru && !m_state.abortRequested && !m_state.operatorCancelled) {
            m_view.setStatus(QStringLiteral("Resetting Printer ..."));
            if (m_timers)
                m_timers->startResetDelay();
        } else {
            if (m_timers)
                m_timers->resetTimer().stop();
            m_state.downloadDone = true;
            m_view.setDownloadCommandsEnabled(true);
        }
    }
    if (!passThru) {
        m_state.downloadDone = true;
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

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
    if (!defaultSettingsFor(m_state.mintPrinter, m_view.isPassThruChecked(), m_state.mintMode,
                            &defaults))
        return Offer::Proceed;
    // Exact comparison: "9600,N,8,1" is not "9600,n,8,1".
    if (m_serial.portSettings() == defaults.settings || m_view.isDefaultPromptSuppressed())
        return Offer::Proceed;

    const int button =
        m_view.askDefaultSettings(defaults.message + QStringLiteral("\r\n\r\n") + kQuestion);
    if (button == 1) {
        m_serial.ClosePort();
        m_state.gstrSettings = defaults.settings;
        m_state.gintHandshaking = qint16(defaults.handshaking);
        m_serial.applyPortSettings(m_state.gintHandshaking, m_state.gstrSettings,
                                   m_state.gintComPort);
        m_serial.OpenPort();
        m_view.SaveIt();
    } else if (button == 3) {
        m_models.Status_Caption();
        m_state.mblnDownloadDone = true;
        m_view.setDownloadLocked(false);
        m_view.setProgressValue(0);
        m_view.setProgressVisible(false);
        m_view.setDownloadCommandsEnabled(true);
        m_view.focusDownloadButton();
        return Offer::Cancelled;
    }
    return Offer::Proceed;
}

void DownloadCommand::cmdDownload_Click() {
    // 1: lock the window
    m_view.setDownloadCommandsEnabled(false);
    m_view.setDownloadLocked(true);
    m_state.mblnBreakSeen = false;
    m_state.mblnDownloadDone = false;
    m_state.mblnAbort = false;
    m_state.gblnDownloadError = false;
    m_state.operatorCancelled = false;
    m_state.transferFailure.clear();

    // 2: open the link; the mode dialog shows the link in use
    if (m_state.mintMode == 0) {
        m_serial.OpenPort();
        m_state.modeOption = 0;
    } else if (m_state.mintMode == 1) {
        m_socket.SockConnect();
        m_state.modeOption = 1;
    }

    // 3: the model's default serial settings
    if (offerDefaultSettings() == Offer::Cancelled)
        return;

    endStage(runStages());
}

bool DownloadCommand::stopsAfterStage() {
    // The sequences clear mblnAbort; the operator's Cancel still stops
    // everything after them.
    if (m_state.mblnAbort || m_state.operatorCancelled) {
        m_view.setStatus(QStringLiteral("Cancelled"));
        return true;
    }
    return m_state.gblnDownloadError;
}

bool DownloadCommand::runStages() {
    // 4: the model's sequence
    m_view.setStatus(QStringLiteral("Working..."));
    if (m_state.mintPrinter == Printers::K72e) {
        if (m_state.mblnAbort)
            m_view.setStatus(QStringLiteral("Cancelled"));
        if (m_state.mblnAbort || m_state.gblnDownloadError)
            return false;
    }
    m_models.runSequence();
    if (stopsAfterStage())
        return false;

    // 5: the format file, after a pause
    if (!m_state.mstrFormatFileName.isEmpty()) {
        float pause = 4.0f;
        Pause(m_state, pause);
        if (m_state.operatorCancelled) {
            m_view.setStatus(QStringLiteral("Cancelled"));
            return false;
        }
        m_transfer.SendFormatFile();
        if (stopsAfterStage())
            return false;
    }

    // 6: the lookups; with none, an application still gets the closing packet
    if (m_view.lookupCount() > 0) {
        if (m_lookups.run() == LookupStage::Next::EndStage || m_state.operatorCancelled)
            return false;
    } else if (!m_view.isAppFileShown()) {
        return !m_state.mstrFormatFileName.isEmpty();
    }

    // 7: the closing packet
    sendClosingPacket();
    if (succeeded(true))
        m_view.setStatus(QStringLiteral("Download Complete"));
    return true;
}

void DownloadCommand::sendClosingPacket() {
    const bool serial = m_state.mintMode == 0;
    const int printer = m_state.mintPrinter;
    QByteArray packet = QByteArrayLiteral("{Q }");
    bool announce = false;
    if (m_view.isAppFileShown() && m_state.mblnAppSent) {
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
        m_serial.CommSend(packet);
    } else if (m_state.mintMode == 1) {
        float timeout = 10.0f;
        m_socket.SockSend(packet, timeout);
    }
}

bool DownloadCommand::succeeded(bool completed) const {
    // Only a download that went through without a failure or a cancel is
    // complete; otherwise the text that says what happened stays.
    return completed && !m_state.gblnDownloadError && !m_state.operatorCancelled &&
           m_state.transferFailure.isEmpty();
}

void DownloadCommand::endStage(bool completed) {
    const bool passThru = m_view.isPassThruChecked();
    if (m_state.mintPrinter == Printers::K72e) {
        if (passThru && !m_state.mblnAbort && !m_state.operatorCancelled) {
            m_view.setStatus(QStringLiteral("Resetting Printer ..."));
            if (m_timers)
                m_timers->startResetDelay();
        } else {
            if (m_timers)
                m_timers->tmrSend().stop();
            m_state.mblnDownloadDone = true;
            m_view.setDownloadCommandsEnabled(true);
        }
    }
    if (!passThru) {
        m_state.mblnDownloadDone = true;
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

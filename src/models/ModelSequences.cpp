#include "ModelSequences.h"

#include "Channels.h"
#include "EngineView.h"
#include "FileTitle.h"
#include "PrinterReply.h"
#include "SettingsStore.h"
#include "SharedState.h"

ModelSequences::ModelSequences(SharedState &state, SettingsStore &store, EngineView &view,
                               SerialChannel &serial, AppFileSender &sender)
    : m_state(state), m_store(store), m_view(view), m_serial(serial), m_sender(sender) {}

void ModelSequences::runSequence() {
    switch (m_state.mintPrinter) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        SendQ410();
        break;
    case Printers::Q412:
        SendQ412();
        break;
    default:
        // The keypad and the T540, R300 and T523 sequences are not built yet.
        break;
    }
}

bool ModelSequences::hasSequence(int printer) {
    switch (printer) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
    case Printers::Q412:
        return true;
    default:
        return false;
    }
}

void ModelSequences::Status_Caption() {
    switch (m_state.mintPrinter) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        m_view.setStatus(QStringLiteral("Set Printer to Data Transfer/Receive"));
        break;
    case Printers::K72e:
        if (!m_view.isPassThruChecked())
            m_view.setStatus(QStringLiteral("Set Keypad to Loading Script"));
        else if (m_state.mintMode == 0)
            m_view.setStatus(QStringLiteral("Set Printer to Print Mode Ready"));
        else if (m_state.mintMode == 1)
            m_view.setStatus(QStringLiteral("Set Printer to N Print Mode Ready"));
        break;
    case Printers::Q412:
        m_view.setStatus(QStringLiteral("Set Printer to Online"));
        break;
    case Printers::T540:
        m_view.setStatus(QStringLiteral("Set Printer to Ready"));
        break;
    case Printers::R300:
        m_view.setStatus(QStringLiteral("Set Printer to Print Mode Ready"));
        break;
    default:
        m_view.setStatus(QString());
        break;
    }
}

void ModelSequences::SendApplication() {
    m_state.mblnAppSent = true;
    if (!m_state.mblnAbort && !m_state.gblnDownloadError) {
        m_view.setStatus(QStringLiteral("Downloading ") + fileTitle(m_state.mstrZELFileName));
        m_sender.SendAppFile(m_state.mstrZELFileName);
        if (m_state.mblnAbort)
            m_view.setStatus(QStringLiteral("Cancelled"));
    } else if (m_state.mblnAbort) {
        m_view.setStatus(QStringLiteral("Cancelled"));
    }
}

bool ModelSequences::hasApplicationToSend() {
    if (m_state.mblnAbort || m_state.gblnDownloadError) {
        if (m_state.mblnAbort)
            m_view.setStatus(QStringLiteral("Cancelled"));
        return false;
    }
    // Without one, lookups alone may still follow.
    return m_state.gblnAllFile || !m_state.mstrZELFileName.isEmpty();
}

void ModelSequences::SendQ410() {
    if (hasApplicationToSend())
        SendApplication();
    m_state.mblnAbort = false;
}

void ModelSequences::SendQ412() {
    if (hasApplicationToSend()) {
        if (!m_state.gblnAllFile)
            m_state.mblnAppSent = true;
        if (m_state.mintMode != 0 || CheckPrinterStatus())
            SendApplication();
        else if (m_state.mblnAbort)
            m_view.setStatus(QStringLiteral("Cancelled"));
    }
    m_state.mblnAbort = false;
}

bool ModelSequences::CheckPrinterStatus() {
    ReloadReplyTimeout(m_state, m_store);
    m_serial.CommSend(QByteArrayLiteral("{SR}"));
    QByteArray bytes;
    const qint16 result = m_serial.CommReceive(bytes, 14, m_state.msngTimeout);
    const QString reply = QString::fromLatin1(bytes);
    m_view.setStatus(reply + QStringLiteral(" - Success"));
    const QString cancelled = m_state.mstrZELFileTitle + QStringLiteral(" Download Cancelled");
    switch (result) {
    case -2:
        if (m_state.mblnAbort) {
            m_view.setStatus(cancelled);
            return true;
        }
        m_view.setStatus(reply + QStringLiteral(" - Comm port not open"));
        m_state.gblnDownloadError = true;
        return false;
    case -1:
        if (m_state.mblnAbort) {
            m_view.setStatus(cancelled);
            return true;
        }
        m_view.setStatus(reply + QStringLiteral(" - Download error response timeout"));
        m_state.gblnDownloadError = true;
        return false;
    case 0:
        if (isAcceptedReply(bytes)) {
            // Shown again once the 13th character has passed.
            m_view.setStatus(reply + QStringLiteral(" - Success"));
            return true;
        }
        m_view.setStatus(reply + QStringLiteral(" - Packet error"));
        m_state.gblnDownloadError = true;
        return false;
    default:
        return true;
    }
}

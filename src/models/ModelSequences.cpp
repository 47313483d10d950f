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
    switch (m_state.printer) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        sendQ410();
        break;
    case Printers::Q412:
        sendQ412();
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

void ModelSequences::showOperatorPrompt() {
    switch (m_state.printer) {
    case Printers::Q410:
    case Printers::Q415:
    case Printers::Q417:
        m_view.setStatus(QStringLiteral("Set Printer to Data Transfer/Receive"));
        break;
    case Printers::K72e:
        if (!m_view.isPassThruChecked())
            m_view.setStatus(QStringLiteral("Set Keypad to Loading Script"));
        else if (m_state.mode == 0)
            m_view.setStatus(QStringLiteral("Set Printer to Print Mode Ready"));
        else if (m_state.mode == 1)
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

void ModelSequences::transferApplication() {
    m_state.appSent = true;
    if (!m_state.abortRequested && !m_state.downloadError) {
        m_view.setStatus(QStringLiteral("Downloading ") + fileTitle(m_state.appPath));
        m_sender.sendApplication(m_state.appPath);
        if (m_state.abortRequested)
            m_view.setStatus(QStringLiteral("Cancelled"));
    } else if (m_state.abortRequested) {
        m_view.setStatus(QStringLiteral("Cancelled"));
    }
}

bool ModelSequences::hasApplicationToSend() {
    if (m_state.abortRequested || m_state.downloadError) {
        if (m_state.abortRequested)
            m_view.setStatus(QStringLiteral("Cancelled"));
        return false;
    }
    // Without one, lookups alone may still follow.
    return m_state.isBundle || !m_state.appPath.isEmpty();
}

void ModelSequences::sendQ410() {
    if (hasApplicationToSend())
        transferApplication();
    m_state.abortRequested = false;
}

void ModelSequences::sendQ412() {
    if (hasApplicationToSend()) {
        if (!m_state.isBundle)
            m_state.appSent = true;
        if (m_state.mode != 0 || checkPrinterStatus())
            transferApplication();
        else if (m_state.abortRequested)
            m_view.setStatus(QStringLiteral("Cancelled"));
    }
    m_state.abortRequested = false;
}

bool ModelSequences::checkPrinterStatus() {
    reloadReplyTimeout(m_state, m_store);
    m_serial.send(QByteArrayLiteral("{SR}"));
    QByteArray bytes;
    const qint16 result = m_serial.receive(bytes, 14, m_state.replyTimeout);
    const QString reply = QString::fromLatin1(bytes);
    m_view.setStatus(reply + QStringLiteral(" - Success"));
    const QString cancelled = m_state.appTitle + QStringLiteral(" Download Cancelled");
    switch (result) {
    case -2:
        if (m_state.abortRequested) {
            m_view.setStatus(cancelled);
            return true;
        }
        m_view.setStatus(reply + QStringLiteral(" - Comm port not open"));
        m_state.downloadError = true;
        return false;
    case -1:
        if (m_state.abortRequested) {
            m_view.setStatus(cancelled);
            return true;
        }
        m_view.setStatus(reply + QStringLiteral(" - Download error response timeout"));
        m_state.downloadError = true;
        return false;
    case 0:
        if (isAcceptedReply(bytes)) {
            // Shown again once the 13th character has passed.
            m_view.setStatus(reply + QStringLiteral(" - Success"));
            return true;
        }
        m_view.setStatus(reply + QStringLiteral(" - Packet error"));
        m_state.downloadError = true;
        return false;
    default:
        return true;
    }
}

#include "ModelSequences.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "EngineView.h"
#include "FileSender.h"
#include "PrinterModels.h"
#include "SharedState.h"

ModelSequences::ModelSequences(SharedState &state, const DownloadSet &set, EngineView &view,
                               SerialChannel &serial, FileSender &sender)
    : m_state(state), m_set(set), m_view(view), m_serial(serial), m_sender(sender) {}

bool ModelSequences::hasSequence(int printer) {
    const PrinterModel *model = PrinterModels::find(printer);
    return model && model->sequence != Sequence::None;
}

void ModelSequences::showOperatorPrompt() {
    const PrinterModel *model = PrinterModels::find(m_state.printer);
    if (!model) {
        m_view.setStatus(QString());
        return;
    }
    if (const char *prompt =
            PrinterModels::operatorPrompt(*model, m_view.isPassThruChecked(), m_state.mode))
        m_view.setStatus(QLatin1String(prompt));
}

void ModelSequences::run() {
    const PrinterModel *model = PrinterModels::find(m_state.printer);
    if (!model)
        return;
    switch (model->sequence) {
    case Sequence::Standard:
        runStandard(*model);
        break;
    case Sequence::None:
        break;
    }
}

void ModelSequences::runStandard(const PrinterModel &model) {
    if (hasApplicationToSend()) {
        // Without a bundle the application counts as sent before the
        // printer has answered.
        if (model.asksStatusFirst && !m_set.isBundle())
            m_state.appSent = true;
        // Over TCP/IP the transfer follows without asking.
        if (!model.asksStatusFirst || m_state.mode != 0 || checkPrinterStatus())
            transferApplication();
        else if (m_state.abortRequested)
            m_view.setStatus(QStringLiteral("Cancelled"));
    }
    // The later stages look at the download error only.
    m_state.abortRequested = false;
}

bool ModelSequences::hasApplicationToSend() {
    if (m_state.abortRequested || m_state.downloadError) {
        if (m_state.abortRequested)
            m_view.setStatus(QStringLiteral("Cancelled"));
        return false;
    }
    // Without one, lookups alone may still follow.
    return m_set.hasApplication();
}

void ModelSequences::transferApplication() {
    m_state.appSent = true;
    if (!m_state.abortRequested && !m_state.downloadError) {
        m_view.setStatus(QStringLiteral("Downloading ") + m_set.applicationName());
        m_sender.send(FileSender::Kind::Application, m_set.applicationPath(),
                      m_set.applicationName());
    }
    if (m_state.abortRequested)
        m_view.setStatus(QStringLiteral("Cancelled"));
}

bool ModelSequences::checkPrinterStatus() {
    m_serial.send(QByteArrayLiteral("{SR}"));
    QByteArray reply;
    qint16 result = 0;
    const ReplyVerdict::Verdict verdict =
        m_sender.awaitReply(ReplyVerdict::Stage::StatusCheck, reply, result);
    switch (verdict.outcome) {
    case ReplyVerdict::Outcome::Refused:
    case ReplyVerdict::Outcome::Failed:
        m_state.downloadError = true;
        return false;
    default:
        return true;
    }
}

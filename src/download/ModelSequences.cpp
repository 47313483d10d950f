#include "ModelSequences.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "EngineView.h"
#include "FileSender.h"
#include "Pause.h"
#include "PrinterModels.h"
#include "SharedState.h"

// Seven characters the printer must take literally, by their codes.
const QByteArray ModelSequences::kImmediateCommand = R"({I,E,"~123~044~034~124~125~126~094"|})";
// The same with a carriage return as the second parameter.
const QByteArray ModelSequences::kLongImmediateCommand =
    R"({I,E,"~123~044~034~124~125~126~094","~013"|})";

ModelSequences::ModelSequences(SharedState &state, const DownloadSet &set, EngineView &view,
                               SerialChannel &serial, SocketChannel &socket, FileSender &sender)
    : m_state(state), m_set(set), m_view(view), m_serial(serial), m_socket(socket),
      m_sender(sender) {}

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
    case Sequence::StatusFirst:
        runStatusFirst(*model);
        break;
    case Sequence::Immediate:
        runImmediate();
        break;
    case Sequence::Keypad:
        runKeypad();
        break;
    }
}

void ModelSequences::show(const QString &text) {
    m_view.setStatus(text);
}

void ModelSequences::pause(float seconds) {
    pauseFor(m_state, seconds);
}

bool ModelSequences::stoppedAlready() {
    if (m_state.abortRequested)
        show(QStringLiteral("Cancelled"));
    return m_state.abortRequested || m_state.downloadError;
}

void ModelSequences::refuseLookupsAlone() {
    const QString text = QStringLiteral("Only Q410/12/15/17 & K72e may send lookups w/o config!");
    m_view.showInformation(QStringLiteral("Download"), text);
    show(text);
}

void ModelSequences::runStatusFirst(const PrinterModel &model) {
    const bool bundle = m_set.isBundle();
    if (stoppedAlready()) {
        // nothing sent
    } else if (!bundle && !m_set.hasApplication()) {
        // The lookup stage still sends the lookups.
        refuseLookupsAlone();
    } else {
        m_state.appSent = true;
        if (askStatus(model, bundle) || bundle)
            transferApplication();
    }
    m_state.abortRequested = false;
}

bool ModelSequences::askStatus(const PrinterModel &model, bool bundle) {
    const bool serial = m_state.mode == 0;
    // A bundle over TCP/IP gets a connection of its own; without one the
    // empty reply says "Socket not open".
    const bool connected = serial || !bundle || m_socket.connectToPrinter();
    if (connected) {
        if (serial ? model.statusAnnounce.onSerial : model.statusAnnounce.onTcp)
            show(QStringLiteral("SENDING {SR}"));
        m_sender.sendBytes(QByteArrayLiteral("{SR}"));
    }
    if (!bundle && stoppedAlready())
        return false;
    QByteArray reply;
    qint16 result = 0;
    switch (m_sender.awaitReply(ReplyVerdict::Stage::StatusCheck, reply, result).outcome) {
    case ReplyVerdict::Outcome::Refused:
        if (bundle) {
            // The stop is cleared on return and the later stages run; the
            // refusal is what the download ends with.
            m_state.abortRequested = true;
            m_state.transferFailure = m_view.status();
        } else {
            m_state.downloadError = true;
        }
        return false;
    case ReplyVerdict::Outcome::Failed:
        m_state.downloadError = true;
        return false;
    default:
        return true;
    }
}

void ModelSequences::runImmediate() {
    const bool serial = m_state.mode == 0, tcp = m_state.mode == 1;
    if (stoppedAlready()) {
        // nothing sent
    } else if (!m_set.isBundle()) {
        if (!m_set.hasApplication()) {
            refuseLookupsAlone();
        } else {
            m_state.appSent = true;
            if (serial || tcp) {
                if (serial)
                    show(QStringLiteral("SENDING Immediate Command"));
                m_sender.sendBytes(kLongImmediateCommand);
                show(QStringLiteral("Sending ^SFa"));
                m_sender.sendBytes(QByteArrayLiteral("^SFa"));
                pause(4.0f);
            }
            transferApplication();
        }
    } else {
        m_state.appSent = true;
        if (serial || tcp) {
            show(QStringLiteral("Sending ") + QLatin1String(kImmediateCommand));
            m_sender.sendBytes(kImmediateCommand);
            pause(4.0f);
            show(QStringLiteral("Sending ^SFa"));
            m_sender.sendBytes(QByteArrayLiteral("^SFa"));
            pause(4.0f);
        }
        // The send loop looks at the flags itself.
        show(QStringLiteral("Downloading ") + m_set.applicationName());
        m_sender.send(FileSender::Kind::Application, m_set.applicationPath(),
                      m_set.applicationName());
        if (m_state.abortRequested)
            show(QStringLiteral("Cancelled"));
    }
    m_state.abortRequested = false;
}

// Unlike the other sequences it leaves abortRequested set: a Cancel during
// the keypad's download skips every later stage.
void ModelSequences::runKeypad() {
    if (stoppedAlready())
        return;
    const bool passThrough = m_view.isPassThruChecked();
    if (!m_set.isBundle()) {
        if (passThrough)
            prepareKeypad(false);
        if (m_set.hasApplication())
            transferApplication();
        return;
    }
    if (passThrough) {
        if (stoppedAlready())
            return;
        show(QStringLiteral("Downloading ") + m_set.applicationName());
        if (m_state.mode == 0 || m_state.mode == 1) {
            if (stoppedAlready())
                return;
            prepareKeypad(true);
        }
    }
    m_state.appSent = true;
    if (!m_state.abortRequested && !m_state.downloadError)
        m_sender.send(FileSender::Kind::Application, m_set.applicationPath(),
                      m_set.applicationName());
    if (m_state.abortRequested)
        show(QStringLiteral("Cancelled"));
}

void ModelSequences::prepareKeypad(bool bundle) {
    const bool tcp = m_state.mode == 1;
    if (m_state.mode != 0 && !tcp)
        return;
    show(QStringLiteral("SENDING ImmediateCommand"));
    m_sender.sendBytes(kImmediateCommand);
    pause(4.0f);
    show(QStringLiteral("SENDING ^MOi (Clears the UPS option)"));
    m_sender.sendBytes(QByteArrayLiteral("^MOi"));
    const QString erasing =
        bundle ? QStringLiteral("ERASING FLASH") : QStringLiteral("SENDING ^PTX^PTS^PT2");
    // Over TCP/IP a bundle's erase is announced once it has gone.
    if (!(bundle && tcp))
        show(erasing);
    m_sender.sendBytes(QByteArrayLiteral("^PTX^PTS^PT2"));
    if (bundle && tcp)
        show(erasing);
    pause(15.0f);
    show(QStringLiteral("SENDING ^PT2"));
    m_sender.sendBytes(QByteArrayLiteral("^PT2"));
    show(QStringLiteral("SENDING Chr(24)"));
    m_sender.sendBytes(QByteArray(1, '\x18'));
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

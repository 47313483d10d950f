#include "LookupStage.h"

#include "Channels.h"
#include "EngineView.h"
#include "FileTransfer.h"
#include "Framing.h"
#include "LineReader.h"
#include "LookupRecord.h"
#include "Pause.h"
#include "PrinterReply.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "Wait.h"
#include "WorkingFile.h"

#include <QFile>

namespace {
const QString kTitle = SettingsStore::applicationName();
const QByteArray kCrLf = QByteArrayLiteral("\r\n");
} // namespace

LookupStage::LookupStage(SharedState &state, EngineView &view, SerialChannel &serial,
                         FileTransfer &transfer)
    : m_state(state), m_view(view), m_serial(serial), m_transfer(transfer) {}

LookupStage::Next LookupStage::run() {
    const int count = m_view.lookupCount();
    const int first = m_view.firstLookupNumber();
    if (m_state.printer == Printers::K72e) {
        // The keypad's slots are cleared over the serial line in either mode.
        for (int n = first; n < first + count; ++n) {
            const QString command = QStringLiteral("{C") + QString::number(n) + QLatin1Char('}');
            m_view.setStatus(QStringLiteral("SENDING ") + command);
            m_serial.send(command.toLatin1());
        }
    }
    m_state.firstLookup = qint16(first);
    m_state.nextLookupNumber = qint16(first);
    m_view.selectLookup(0);

    bool allSent = true;
    for (int i = 0; i < count; ++i) {
        Wait::yieldOnce();
        if (m_transfer.mustStop()) {
            allSent = false;
            break;
        }
        const int current = m_view.selectedLookup() < 0 ? i : m_view.selectedLookup();
        m_state.currentLookupName = m_view.lookupName(current);
        m_view.setStatus(QStringLiteral("Downloading ") + m_state.currentLookupName);
        float pause = 4.0f;
        Pause(m_state, pause);
        // Cancel during the pause: nothing more goes out.
        if (m_state.operatorCancelled) {
            m_state.abortRequested = true;
            allSent = false;
            break;
        }
        const QByteArray reply = sendLookup(m_view.lookupPath(current));
        if (reply.isEmpty()) {
            // Nothing in the table asked the printer for a reply (an empty
            // file, a record without its closing line): not a success.
            if (!m_state.downloadError && !m_state.abortRequested)
                m_view.setStatus(QStringLiteral("Download lookup ") + m_state.currentLookupName +
                                 QStringLiteral(" error: the printer sent no reply"));
            m_state.downloadError = true;
        }
        if (m_state.downloadError)
            return Next::EndStage;
        if (count >= 2 && current + 1 < count)
            m_view.selectLookup(current + 1);
    }
    if (allSent)
        return Next::ClosingPacket;
    if (!m_state.abortRequested || m_state.breakSeen)
        m_view.setStatus(QStringLiteral("Check Printer..."));
    else
        m_view.setStatus(m_state.appTitle + QStringLiteral(" Download Cancelled"));
    return Next::EndStage;
}

bool LookupStage::prepareWorkingFile(const QString &path, QString *error) {
    QFile source(path);
    // A file that cannot be opened also counts as a record file; it must
    // still fail as a lookup error, not go out as an empty record.
    if (!source.open(QIODevice::ReadOnly)) {
        *error = FileTransfer::fileErrorText(source);
        return false;
    }
    if (LookupRecord::isRecordFile(path)) {
        // Already a record: sent as it is, without taking a number.
        return WorkingFile::write(source.readAll() + kCrLf, error);
    }
    m_state.fileLength = source.size();
    m_state.bytesSent = 0;
    m_view.setProgressValue(0);
    QByteArray table;
    LineReader reader(source);
    for (;;) {
        Wait::yieldOnce();
        if (m_state.abortRequested)
            return false;
        std::optional<QByteArray> line = reader.readLine();
        if (!line)
            break;
        if (!line->endsWith('|'))
            line->append('|');
        table += *line + kCrLf;
    }
    if (reader.failed()) {
        *error = FileTransfer::fileErrorText(source);
        return false;
    }
    return WorkingFile::write(LookupRecord::make(table, m_state, m_view) + kCrLf, error);
}

void LookupStage::judgeReply(FileTransfer::ReplyWait &wait) {
    const QString reply = FileTransfer::latin1(wait.reply);
    const QString cancelled = m_state.appTitle + QStringLiteral(" Download Cancelled");
    const bool serial = m_state.mode == 0;
    switch (wait.result) {
    case -2:
        if (m_state.abortRequested) {
            m_view.setStatus(cancelled);
            return;
        }
        m_view.setStatus(serial ? QStringLiteral(" Comm port not open. ")
                                : QStringLiteral(" Socket not open. "));
        m_state.downloadError = true;
        return;
    case -1:
        if (m_state.abortRequested) {
            m_view.setStatus(serial && m_state.breakSeen ? QStringLiteral("Check Printer...")
                                                         : cancelled);
        } else if (serial) {
            m_view.setStatus(reply + QStringLiteral(" - Download error response timeout"));
            m_state.downloadError = true;
        } else {
            // The second wait's reply is the one the lookup returns.
            float second = 13.0f;
            const qint16 again = m_transfer.secondSocketWait(wait.reply, second);
            m_view.setStatus(FileTransfer::latin1(wait.reply) + QStringLiteral(" - Success ") +
                             QString::number(again));
        }
        return;
    case 0:
        m_view.setStatus(reply + QStringLiteral(" - Success"));
        if (!isAcceptedReply(wait.reply)) {
            m_view.setStatus(reply + QStringLiteral(" Packet error"));
            m_state.transferFailure = m_view.status();
            wait.packetError = true;
            m_state.abortRequested = true;
        }
        return;
    default:
        return;
    }
}

QByteArray LookupStage::sendLookup(const QString &path) {
    m_view.setCaption(kTitle + QStringLiteral(" - ") + m_state.currentLookupName);
    const auto restore = [this] {
        m_view.setCaption(kTitle);
    };
    const auto fail = [&](const QString &error) {
        m_view.setStatus(QStringLiteral("Download lookup ") + m_state.currentLookupName +
                         QStringLiteral(" error ") + error);
        m_state.downloadError = true;
        restore();
    };

    FileTransfer::ReplyWait last;
    qint16 lastPercent = 0;
    bool packetError = false;
    // A Cancel while the table is converted ends without "Cancelled".
    bool stoppedConverting = false;
    QString error;
    if (!prepareWorkingFile(path, &error)) {
        if (!error.isEmpty()) {
            fail(error);
            return {};
        }
        stoppedConverting = true;
    } else {
        m_view.setProgressVisible(true);
        m_state.downloadDone = false;
        QFile file(WorkingFile::path());
        if (!file.open(QIODevice::ReadOnly)) {
            fail(FileTransfer::fileErrorText(file));
            return {};
        }
        m_state.fileLength = file.size();
        m_state.bytesSent = 0;
        m_view.setProgressValue(0);
        m_state.breakSeen = false;
        m_view.setProgressValue(1);

        Framing::State framing;
        LineReader reader(file);
        for (;;) {
            Wait::yieldOnce();
            if (m_state.abortRequested || m_state.downloadError)
                break;
            const std::optional<QByteArray> line = m_transfer.nextLine(reader, lastPercent);
            if (!line)
                break;
            const QByteArray framed = Framing::frameLine(*line, framing);
            m_transfer.sendLine(framed);
            if (!Framing::awaitsReply(*line, framed, m_state.downloadDone, false))
                continue;
            FileTransfer::ReplyWait wait;
            const bool waited = m_transfer.awaitReply(wait);
            m_state.downloadDone = false;
            if (!waited)
                break;
            judgeReply(wait);
            packetError = packetError || wait.packetError;
            last = wait;
        }
        file.close();
    }

    if (m_state.abortRequested && !stoppedConverting)
        m_view.setStatus(QStringLiteral("Cancelled"));
    m_serial.clearInput();
    if (lastPercent < 100)
        m_view.setProgressValue(100);
    if (m_state.abortRequested) {
        if (last.result == 0 && !packetError)
            m_view.setStatus(m_state.breakSeen
                                 ? QStringLiteral("Check Printer...")
                                 : m_state.appTitle + QStringLiteral(" Download Cancelled"));
    } else if (!m_state.downloadError) {
        m_view.setStatus(QStringLiteral("Download Finished"));
    }
    m_view.setProgressValue(0);
    restore();
    m_view.setProgressVisible(false);
    return last.reply;
}

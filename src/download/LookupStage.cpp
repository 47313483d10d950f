#include "LookupStage.h"

#include "Channels.h"
#include "EngineView.h"
#include "FileTransfer.h"
#include "Framing.h"
#include "LineReader.h"
#include "Pause.h"
#include "PrinterReply.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "Wait.h"
#include "WorkingFile.h"
#include "mdlZEL.h"

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
    if (m_state.mintPrinter == Printers::K72e) {
        // The keypad's slots are cleared over the serial line in either mode.
        for (int n = first; n < first + count; ++n) {
            const QString command = QStringLiteral("{C") + QString::number(n) + QLatin1Char('}');
            m_view.setStatus(QStringLiteral("SENDING ") + command);
            m_serial.CommSend(command.toLatin1());
        }
    }
    m_state.mintFirstLookup = qint16(first);
    m_state.gintLookupCount = qint16(first);
    m_view.selectLookup(0);

    bool allSent = true;
    for (int i = 0; i < count; ++i) {
        Wait::yieldOnce();
        if (m_transfer.mustStop()) {
            allSent = false;
            break;
        }
        const int current = m_view.selectedLookup() < 0 ? i : m_view.selectedLookup();
        m_state.mstrLookupName = m_view.lookupName(current);
        m_view.setStatus(QStringLiteral("Downloading ") + m_state.mstrLookupName);
        float pause = 4.0f;
        Pause(m_state, pause);
        // Cancel during the pause: nothing more goes out.
        if (m_state.operatorCancelled) {
            m_state.mblnAbort = true;
            allSent = false;
            break;
        }
        const QByteArray reply = SendLookupFile(m_view.lookupPath(current));
        if (reply.isEmpty()) {
            // Nothing in the table asked the printer for a reply (an empty
            // file, a record without its closing line): not a success.
            if (!m_state.gblnDownloadError && !m_state.mblnAbort)
                m_view.setStatus(QStringLiteral("Download lookup ") + m_state.mstrLookupName +
                                 QStringLiteral(" error: the printer sent no reply"));
            m_state.gblnDownloadError = true;
        }
        if (m_state.gblnDownloadError)
            return Next::EndStage;
        if (count >= 2 && current + 1 < count)
            m_view.selectLookup(current + 1);
    }
    if (allSent)
        return Next::ClosingPacket;
    if (!m_state.mblnAbort || m_state.mblnBreakSeen)
        m_view.setStatus(QStringLiteral("Check Printer..."));
    else
        m_view.setStatus(m_state.mstrZELFileTitle + QStringLiteral(" Download Cancelled"));
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
    if (mdlZEL::IsLookupRecordFile(path)) {
        // Already a record: sent as it is, without taking a number.
        return WorkingFile::write(source.readAll() + kCrLf, error);
    }
    m_state.mlngFileLength = source.size();
    m_state.mlngBytesSent = 0;
    m_view.setProgressValue(0);
    QByteArray table;
    LineReader reader(source);
    for (;;) {
        Wait::yieldOnce();
        if (m_state.mblnAbort)
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
    return WorkingFile::write(mdlZEL::MakeLookupRecord(table, m_state, m_view) + kCrLf, error);
}

void LookupStage::judgeReply(FileTransfer::ReplyWait &wait) {
    const QString reply = FileTransfer::latin1(wait.reply);
    const QString cancelled = m_state.mstrZELFileTitle + QStringLiteral(" Download Cancelled");
    const bool serial = m_state.mintMode == 0;
    switch (wait.result) {
    case -2:
        if (m_state.mblnAbort) {
            m_view.setStatus(cancelled);
            return;
        }
        m_view.setStatus(serial ? QStringLiteral(" Comm port not open. ")
                                : QStringLiteral(" Socket not open. "));
        m_state.gblnDownloadError = true;
        return;
    case -1:
        if (m_state.mblnAbort) {
            m_view.setStatus(serial && m_state.mblnBreakSeen ? QStringLiteral("Check Printer...")
                                                             : cancelled);
        } else if (serial) {
            m_view.setStatus(reply + QStringLiteral(" - Download error response timeout"));
            m_state.gblnDownloadError = true;
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
            m_state.mblnAbort = true;
        }
        return;
    default:
        return;
    }
}

QByteArray LookupStage::SendLookupFile(const QString &path) {
    m_view.setCaption(kTitle + QStringLiteral(" - ") + m_state.mstrLookupName);
    const auto restore = [this] {
        m_view.setCaption(kTitle);
    };
    const auto fail = [&](const QString &error) {
        m_view.setStatus(QStringLiteral("Download lookup ") + m_state.mstrLookupName +
                         QStringLiteral(" error ") + error);
        m_state.gblnDownloadError = true;
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
        m_state.mblnDownloadDone = false;
        QFile file(WorkingFile::path());
        if (!file.open(QIODevice::ReadOnly)) {
            fail(FileTransfer::fileErrorText(file));
            return {};
        }
        m_state.mlngFileLength = file.size();
        m_state.mlngBytesSent = 0;
        m_view.setProgressValue(0);
        m_state.mblnBreakSeen = false;
        m_view.setProgressValue(1);

        Framing::State framing;
        LineReader reader(file);
        for (;;) {
            Wait::yieldOnce();
            if (m_state.mblnAbort || m_state.gblnDownloadError)
                break;
            const std::optional<QByteArray> line = m_transfer.nextLine(reader, lastPercent);
            if (!line)
                break;
            const QByteArray framed = Framing::frameLine(*line, framing);
            m_transfer.sendLine(framed);
            if (!Framing::awaitsReply(*line, framed, m_state.mblnDownloadDone, false))
                continue;
            FileTransfer::ReplyWait wait;
            const bool waited = m_transfer.awaitReply(wait);
            m_state.mblnDownloadDone = false;
            if (!waited)
                break;
            judgeReply(wait);
            packetError = packetError || wait.packetError;
            last = wait;
        }
        file.close();
    }

    if (m_state.mblnAbort && !stoppedConverting)
        m_view.setStatus(QStringLiteral("Cancelled"));
    m_serial.clearInput();
    if (lastPercent < 100)
        m_view.setProgressValue(100);
    if (m_state.mblnAbort) {
        if (last.result == 0 && !packetError)
            m_view.setStatus(m_state.mblnBreakSeen ? QStringLiteral("Check Printer...")
                                                   : m_state.mstrZELFileTitle +
                                                         QStringLiteral(" Download Cancelled"));
    } else if (!m_state.gblnDownloadError) {
        m_view.setStatus(QStringLiteral("Download Finished"));
    }
    m_view.setProgressValue(0);
    restore();
    m_view.setProgressVisible(false);
    return last.reply;
}

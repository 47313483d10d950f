#include "LookupStage.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "EngineView.h"
#include "FileSender.h"
#include "LineReader.h"
#include "LookupRecord.h"
#include "Pause.h"
#include "PrinterModels.h"
#include "SharedState.h"
#include "Wait.h"
#include "WorkingFile.h"

#include <QFile>

namespace {
const QByteArray kCrLf = QByteArrayLiteral("\r\n");
} // namespace

LookupStage::LookupStage(SharedState &state, const DownloadSet &set, EngineView &view,
                         SerialChannel &serial, FileSender &sender)
    : m_state(state), m_set(set), m_view(view), m_serial(serial), m_sender(sender) {}

LookupStage::Next LookupStage::run() {
    const QList<DownloadSet::Lookup> &lookups = m_set.lookups();
    const int count = int(lookups.size());
    const int first = m_set.firstLookup();
    const PrinterModel *model = PrinterModels::find(m_state.printer);
    if (model && model->clearsLookupSlots) {
        // The keypad's slots are cleared over the serial line in either mode.
        for (int n = first; n < first + count; ++n) {
            const QString command = QStringLiteral("{C") + QString::number(n) + QLatin1Char('}');
            m_view.setStatus(QStringLiteral("SENDING ") + command);
            m_serial.send(command.toLatin1());
        }
    }
    m_nextNumber = first;

    bool allSent = true;
    for (int i = 0; i < count; ++i) {
        m_view.selectLookup(i);
        Wait::yieldOnce();
        if (m_sender.mustStop()) {
            allSent = false;
            break;
        }
        m_state.currentLookupName = lookups[i].name;
        m_view.setStatus(QStringLiteral("Downloading ") + m_state.currentLookupName);
        float pause = 4.0f;
        pauseFor(m_state, pause);
        // Cancel during the pause: nothing more goes out.
        if (m_state.operatorCancelled) {
            m_state.abortRequested = true;
            allSent = false;
            break;
        }
        const QByteArray reply = sendLookup(lookups[i].path);
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
    }
    if (allSent)
        return Next::ClosingPacket;
    // Stopped without a request: the printer broke the line.
    m_view.setStatus(m_state.abortRequested ? m_sender.stoppedText()
                                            : QStringLiteral("Check Printer..."));
    return Next::EndStage;
}

bool LookupStage::prepareWorkingFile(const QString &path, QString *error) {
    QFile source(path);
    // A file that cannot be opened also counts as a record file; it must
    // still fail as a lookup error, not go out as an empty record.
    if (!source.open(QIODevice::ReadOnly)) {
        *error = FileSender::fileErrorText(source);
        return false;
    }
    if (LookupRecord::isRecordFile(path)) {
        // Already a record: sent as it is, without taking a number.
        return WorkingFile::write(source.readAll() + kCrLf, error);
    }
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
        *error = FileSender::fileErrorText(source);
        return false;
    }
    const QByteArray record = LookupRecord::make(table, m_nextNumber++);
    return WorkingFile::write(record + kCrLf, error);
}

QByteArray LookupStage::sendLookup(const QString &path) {
    QString error;
    if (!prepareWorkingFile(path, &error)) {
        if (!error.isEmpty()) {
            m_view.setStatus(QStringLiteral("Download lookup ") + m_state.currentLookupName +
                             QStringLiteral(" error ") + error);
            m_state.downloadError = true;
        } else {
            // A stop came while the table was converted.
            m_view.setStatus(m_sender.stoppedText());
        }
        return {};
    }
    return m_sender.send(FileSender::Kind::Lookup, WorkingFile::path(), m_state.currentLookupName)
        .lastReply;
}

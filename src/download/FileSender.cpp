#include "FileSender.h"

#include "Channels.h"
#include "DownloadSet.h"
#include "EngineView.h"
#include "Framing.h"
#include "LineReader.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "Wait.h"

#include <QElapsedTimer>
#include <QFile>

#include <cmath>

namespace {
const QString kTitle = SettingsStore::applicationName();

// Cancel and repaints need the event loop now and then, not once a line: a
// dispatcher round per line costs more than the line itself on a fast link.
constexpr qint64 kYieldEveryMs = 10;

// Percentage of the file sent, rounded half to even; 64-bit counts keep it
// right for files of any size.
int percentOf(qint64 sent, qint64 length) {
    if (length <= 0)
        return 0;
    return int(std::nearbyint(std::min(100.0 * double(sent) / double(length), 32767.0)));
}
} // namespace

FileSender::FileSender(SharedState &state, const DownloadSet &set, EngineView &view,
                       SerialChannel &serial, SocketChannel &socket)
    : m_state(state), m_set(set), m_view(view), m_serial(serial), m_socket(socket) {}

QString FileSender::fileErrorText(const QFileDevice &file) {
    return QString::number(int(file.error())) + QLatin1Char(' ') + file.errorString();
}

bool FileSender::mustStop() {
    if (m_state.abortRequested) {
        m_view.setStatus(QStringLiteral("Cancelled"));
        return true;
    }
    return m_state.downloadError;
}

void FileSender::restoreCaption() {
    m_view.setCaption(kTitle);
}

void FileSender::sendBytes(const QByteArray &bytes) {
    if (m_state.mode == 0) {
        m_serial.send(bytes);
    } else if (m_state.mode == 1) {
        float timeout = 10.0f;
        m_socket.send(bytes, timeout);
    }
}

ReplyVerdict::Verdict FileSender::awaitReply(ReplyVerdict::Stage stage, QByteArray &reply,
                                             qint16 &result) {
    namespace RV = ReplyVerdict;
    const bool serial = m_state.mode == 0;
    float timeout = m_state.replyTimeout;
    if (serial) {
        result = m_serial.receive(reply, 14, timeout);
    } else {
        m_socket.setKeepAlive(true);
        result = m_socket.receive(reply, 14, timeout);
        m_socket.setKeepAlive(false);
    }
    const RV::Context context{serial ? RV::Link::Serial : RV::Link::Socket, stage,
                              m_state.abortRequested, m_state.breakSeen, m_set.applicationName()};
    RV::Verdict verdict = RV::judge(context, result, reply);
    if (verdict.outcome == RV::Outcome::WaitAgain) {
        float second = RV::kSecondWaitSeconds;
        result = m_socket.receive(reply, 14, second);
        verdict.status = RV::afterSecondWait(reply, result);
    }
    if (!verdict.status.isEmpty())
        m_view.setStatus(verdict.status);
    return verdict;
}

void FileSender::showFileError(Kind kind, const QFileDevice &file) {
    QString prefix;
    switch (kind) {
    case Kind::Application:
        prefix = QStringLiteral("File download error ");
        break;
    case Kind::Format:
        prefix = QStringLiteral("FormatDownload Error ");
        break;
    case Kind::Lookup:
        prefix = QStringLiteral("Download lookup ") + m_state.currentLookupName +
                 QStringLiteral(" error ");
        break;
    }
    m_view.setStatus(prefix + fileErrorText(file));
    m_state.downloadError = true;
}

QString FileSender::stoppedText() const {
    return m_state.breakSeen ? QStringLiteral("Check Printer...")
                             : m_set.applicationName() + QStringLiteral(" Download Cancelled");
}

FileSender::Outcome FileSender::send(Kind kind, const QString &path, const QString &shownName) {
    m_view.setCaption(kTitle + QStringLiteral(" - ") + shownName);
    if (kind != Kind::Format)
        m_view.setProgressVisible(true);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showFileError(kind, file);
        restoreCaption();
        return {};
    }
    if (kind == Kind::Format) {
        m_state.abortRequested = false;
        m_state.breakSeen = false;
    }
    const qint64 length = file.size();
    qint64 sent = 0;
    int lastPercent = 0;
    m_progress.sent = 0;
    m_progress.length = length;
    m_progress.started.start();
    m_progress.running = true;

    const auto stage =
        kind == Kind::Lookup ? ReplyVerdict::Stage::Lookup : ReplyVerdict::Stage::Application;
    Outcome outcome;
    Framing::State framing;
    LineReader reader(file);
    QElapsedTimer sinceYield;
    for (;;) {
        if (!sinceYield.isValid() || sinceYield.hasExpired(kYieldEveryMs)) {
            Wait::yieldOnce();
            sinceYield.start();
        }
        if (mustStop())
            break;
        const std::optional<QByteArray> line = reader.readLine();
        if (!line) {
            // A read error ends the file as its end would, with the error shown.
            if (reader.failed())
                showFileError(kind, file);
            break;
        }
        sent += line->size();
        m_progress.sent = sent;
        lastPercent = percentOf(sent, length);
        m_view.setProgressValue(lastPercent);
        if (kind == Kind::Format) {
            sendBytes(*line);
            continue;
        }
        const QByteArray framed = Framing::frameLine(*line, framing);
        sendBytes(framed);
        if (!Framing::awaitsReply(*line, framed, framing, kind == Kind::Application))
            continue;
        if (mustStop())
            break;
        const ReplyVerdict::Verdict verdict =
            awaitReply(stage, outcome.lastReply, outcome.lastResult);
        ++outcome.awaited;
        if (verdict.outcome == ReplyVerdict::Outcome::WaitAgain &&
            outcome.lastResult == ReplyVerdict::TimedOut)
            ++outcome.unanswered;
        if (verdict.outcome == ReplyVerdict::Outcome::Refused) {
            // The printer would commit a half-loaded set: nothing more goes out.
            fail(QStringLiteral("Download ") + shownName + QStringLiteral(" error: ") +
                 verdict.status);
            break;
        }
        if (verdict.outcome == ReplyVerdict::Outcome::Accepted &&
            outcome.lastReply.contains("CP=4")) {
            fail(QStringLiteral("Unsuccessful Transmission of ") + shownName);
            break;
        }
        if (verdict.outcome == ReplyVerdict::Outcome::Failed)
            m_state.downloadError = true;
    }
    file.close();
    m_progress.running = false;
    m_serial.clearInput();
    if (lastPercent < 100)
        m_view.setProgressValue(100);
    showEnd(kind, outcome);
    noteUnanswered(shownName, outcome);
    m_view.setProgressValue(0);
    if (kind == Kind::Lookup)
        m_view.setProgressVisible(false);
    restoreCaption();
    return outcome;
}

// Over TCP/IP the transfer goes on past a packet that got no reply (printers
// on the raw port may answer late or not at all), but the download must not
// end as complete.
void FileSender::noteUnanswered(const QString &shownName, const Outcome &outcome) {
    if (outcome.unanswered == 0 || !m_state.transferFailure.isEmpty())
        return;
    const QString what = outcome.unanswered == outcome.awaited
                             ? QStringLiteral("the printer sent no reply")
                             : QStringLiteral("%1 of %2 packets got no reply")
                                   .arg(outcome.unanswered)
                                   .arg(outcome.awaited);
    m_state.transferFailure =
        QStringLiteral("Download ") + shownName + QStringLiteral(" error: ") + what;
}

void FileSender::showEnd(Kind kind, const Outcome &outcome) {
    if (kind == Kind::Format)
        return;
    if (m_state.abortRequested) {
        if (outcome.lastResult == ReplyVerdict::Received)
            m_view.setStatus(stoppedText());
        // The printer stopped the transfer: the download must not end as
        // complete once the sequence has cleared the stop request.
        if (m_state.breakSeen)
            m_state.transferFailure = QStringLiteral("Check Printer...");
        return;
    }
    if (!m_state.downloadError && (kind == Kind::Lookup || outcome.lastReply.contains("CP=0")))
        m_view.setStatus(QStringLiteral("Download Finished"));
}

void FileSender::fail(const QString &text) {
    m_view.setStatus(text);
    m_state.downloadError = true;
    m_state.transferFailure = text;
}

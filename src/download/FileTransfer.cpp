#include "FileTransfer.h"

#include "Channels.h"
#include "EngineView.h"
#include "FileTitle.h"
#include "Framing.h"
#include "LineReader.h"
#include "PrinterReply.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "Wait.h"

#include <QFile>

#include <cmath>

namespace {
const QString kTitle = SettingsStore::applicationName();

QString number(qint64 n) {
    return QString::number(n);
}
} // namespace

FileTransfer::FileTransfer(SharedState &state, SettingsStore &store, EngineView &view,
                           SerialChannel &serial, SocketChannel &socket)
    : m_state(state), m_store(store), m_view(view), m_serial(serial), m_socket(socket) {}

QString FileTransfer::fileErrorText(const QFileDevice &file) {
    return number(int(file.error())) + QLatin1Char(' ') + file.errorString();
}

qint16 FileTransfer::countProgress(const QByteArray &line) {
    m_state.bytesSent += line.size();
    if (m_state.fileLength <= 0)
        return 0;
    // 64-bit counts and a real quotient: right for files of any size.
    const double percent = 100.0 * double(m_state.bytesSent) / double(m_state.fileLength);
    return qint16(std::nearbyint(std::min(percent, 32767.0)));
}

bool FileTransfer::mustStop() {
    if (m_state.abortRequested) {
        m_view.setStatus(QStringLiteral("Cancelled"));
        return true;
    }
    return m_state.downloadError;
}

std::optional<QByteArray> FileTransfer::nextLine(LineReader &reader, qint16 &lastPercent) {
    std::optional<QByteArray> line = reader.readLine();
    if (line) {
        lastPercent = countProgress(*line);
        m_view.setProgressValue(lastPercent);
    }
    return line;
}

void FileTransfer::restoreCaption() {
    m_view.setCaption(kTitle);
}

void FileTransfer::sendLine(const QByteArray &line) {
    if (m_state.mode == 0) {
        m_serial.send(line);
    } else if (m_state.mode == 1) {
        float timeout = 10.0f;
        m_socket.send(line, timeout);
    }
}

bool FileTransfer::awaitReply(ReplyWait &wait) {
    reloadReplyTimeout(m_state, m_store);
    if (m_state.mode != 0 && m_state.mode != 1)
        return true;
    if (mustStop())
        return false;
    if (m_state.mode == 0) {
        wait.result = m_serial.receive(wait.reply, 14, m_state.replyTimeout);
    } else {
        m_socket.setKeepAlive(true);
        wait.result = m_socket.receive(wait.reply, 14, m_state.replyTimeout);
        m_socket.setKeepAlive(false);
    }
    return true;
}

qint16 FileTransfer::secondSocketWait(QByteArray &reply, float &timeout) {
    return m_socket.receive(reply, 14, timeout);
}

void FileTransfer::judgeSerial(ReplyWait &wait) {
    const QString reply = latin1(wait.reply);
    switch (wait.result) {
    case -2:
        if (!m_state.abortRequested) {
            m_view.setStatus(QStringLiteral(" Comm port not open"));
            m_state.downloadError = true;
        } else {
            m_view.setStatus(m_state.appTitle + QStringLiteral(" Download Cancelled"));
        }
        break;
    case -1:
        if (!m_state.abortRequested) {
            m_view.setStatus(reply + QStringLiteral(" - Download error response timeout"));
            m_state.downloadError = true;
        } else if (!m_state.breakSeen) {
            m_view.setStatus(m_state.appTitle + QStringLiteral(" Download Cancelled"));
        } else {
            m_view.setStatus(QStringLiteral("Check Printer..."));
        }
        break;
    case 0:
        // Shown on arrival and again once the 13th character has passed.
        m_view.setStatus(reply + QStringLiteral(" - Success"));
        if (isAcceptedReply(wait.reply)) {
            m_view.setStatus(reply + QStringLiteral(" - Success"));
        } else {
            m_view.setStatus(reply + QStringLiteral(" Packet error"));
            wait.packetError = true;
            m_state.abortRequested = true;
        }
        break;
    default:
        break;
    }
}

void FileTransfer::judgeSocket(ReplyWait &wait) {
    const QString title = m_state.appTitle;
    switch (wait.result) {
    case -2:
        if (!m_state.abortRequested) {
            m_view.setStatus(QStringLiteral(" Socket not open ") + number(wait.result));
            m_state.downloadError = true;
        } else {
            m_view.setStatus(title + QStringLiteral(" Download Cancelled ") + number(wait.result));
        }
        break;
    case -1:
        if (m_state.abortRequested) {
            m_view.setStatus(title + QStringLiteral(" Download Cancelled ") + number(wait.result));
        } else {
            // A slow printer gets one more, fixed wait; the transfer goes on.
            float second = 13.0f;
            const qint16 again = secondSocketWait(wait.reply, second);
            m_view.setStatus(latin1(wait.reply) + QStringLiteral(" - Success ") + number(again));
        }
        break;
    case 0: {
        const QString reply = latin1(wait.reply);
        m_view.setStatus(QStringLiteral("receive ") + reply + QStringLiteral(" - Success ") +
                         number(wait.result));
        if (!isAcceptedReply(wait.reply)) {
            m_view.setStatus(reply + QStringLiteral(" Packet error ") + number(wait.result));
            wait.packetError = true;
            m_state.abortRequested = true;
        } else {
            m_view.setStatus(reply + QStringLiteral(" - Success"));
            if (wait.reply.at(12) == ' ')
                m_view.setStatus(reply + QStringLiteral("SPACE - Success ") + number(wait.result));
        }
        break;
    }
    default:
        break;
    }
}

void FileTransfer::sendApplication(const QString &path) {
    m_view.setCaption(kTitle + QStringLiteral(" - ") + m_state.appTitle);
    m_view.setStatus(QStringLiteral("Downloading ") + fileTitle(m_state.appPath));
    m_view.setProgressVisible(true);

    QFile file(path);
    const auto fileError = [&] {
        m_view.setStatus(QStringLiteral("File download error ") + fileErrorText(file));
        file.close();
        m_state.downloadError = true;
        restoreCaption();
    };
    if (!file.open(QIODevice::ReadOnly)) {
        fileError();
        return;
    }
    m_state.downloadDone = false;
    m_state.fileLength = file.size();
    m_state.bytesSent = 0;
    m_view.setProgressValue(0);

    ReplyWait last;
    qint16 lastPercent = 0;
    bool packetError = false;
    Framing::State framing;
    LineReader reader(file);

    if (m_state.abortRequested) {
        m_view.setStatus(QStringLiteral("Cancelled"));
    } else if (!m_state.downloadError) {
        for (;;) {
            Wait::yieldOnce();
            if (mustStop())
                break;
            const std::optional<QByteArray> line = nextLine(reader, lastPercent);
            if (!line) {
                if (reader.failed()) {
                    fileError();
                    return;
                }
                break;
            }
            const QByteArray framed = Framing::frameLine(*line, framing);
            if (mustStop())
                break;
            sendLine(framed);
            if (!Framing::awaitsReply(*line, framed, m_state.downloadDone, true))
                continue;
            ReplyWait wait;
            if (!awaitReply(wait))
                break;
            if (m_state.mode == 0)
                judgeSerial(wait);
            else if (m_state.mode == 1)
                judgeSocket(wait);
            packetError = packetError || wait.packetError;
            last = wait;
        }
    }

    if (m_state.abortRequested)
        m_view.setStatus(QStringLiteral("Cancelled"));
    file.close();
    m_serial.clearInput();
    if (lastPercent < 100)
        m_view.setProgressValue(100);
    if (!m_state.abortRequested) {
        if (m_state.downloadError) {
            m_view.setProgressValue(0);
        } else if (last.reply.contains("CP=0")) {
            m_view.setStatus(QStringLiteral("Download Finished"));
            m_state.downloadDone = true;
        } else if (last.reply.contains("CP=4")) {
            m_view.setStatus(QStringLiteral("Unsuccessful Transmission"));
            m_state.transferFailure = m_view.status();
        }
    } else if (last.result == 0) {
        if (packetError) {
            m_view.setStatus(latin1(last.reply) + QStringLiteral(" - Packet error"));
            m_state.transferFailure = m_view.status();
        } else if (!m_state.breakSeen) {
            m_view.setProgressValue(0);
            m_view.setStatus(m_state.appTitle + QStringLiteral(" Download Cancelled"));
        } else {
            m_view.setStatus(QStringLiteral("Check Printer..."));
        }
    }
    m_view.setProgressValue(0);
    restoreCaption();
}

void FileTransfer::sendFormat() {
    if (m_state.formatTitle.isEmpty())
        return;
    m_view.setCaption(kTitle + QStringLiteral(" - ") + m_state.formatTitle);
    m_state.downloadDone = true;

    QFile file(m_state.formatPath);
    const auto fileError = [&] {
        m_view.setStatus(QStringLiteral("FormatDownload Error ") + fileErrorText(file));
        m_state.downloadError = true;
        file.close();
        restoreCaption();
    };
    if (!file.open(QIODevice::ReadOnly)) {
        fileError();
        return;
    }
    m_state.fileLength = file.size();
    m_state.bytesSent = 0;
    m_view.setProgressValue(0);
    m_state.abortRequested = false;
    m_state.breakSeen = false;
    m_view.setProgressValue(1);

    qint16 lastPercent = 0;
    LineReader reader(file);
    for (;;) {
        Wait::yieldOnce();
        // Also on a failed link: nothing more can reach the printer.
        if (mustStop())
            break;
        const std::optional<QByteArray> line = nextLine(reader, lastPercent);
        if (!line) {
            if (reader.failed()) {
                fileError();
                return;
            }
            break;
        }
        sendLine(*line);
    }
    file.close();
    if (lastPercent < 100)
        m_view.setProgressValue(100);
    m_view.setProgressValue(0);
    m_state.downloadDone = false;
    restoreCaption();
}

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

qint16 FileTransfer::CalcPercent(const QByteArray &line) {
    m_state.mlngBytesSent += line.size();
    if (m_state.mlngFileLength <= 0)
        return 0;
    // 64-bit counts and a real quotient: right for files of any size.
    const double percent = 100.0 * double(m_state.mlngBytesSent) / double(m_state.mlngFileLength);
    return qint16(std::nearbyint(std::min(percent, 32767.0)));
}

bool FileTransfer::mustStop() {
    if (m_state.mblnAbort) {
        m_view.setStatus(QStringLiteral("Cancelled"));
        return true;
    }
    return m_state.gblnDownloadError;
}

std::optional<QByteArray> FileTransfer::nextLine(LineReader &reader, qint16 &lastPercent) {
    std::optional<QByteArray> line = reader.readLine();
    if (line) {
        lastPercent = CalcPercent(*line);
        m_view.setProgressValue(lastPercent);
    }
    return line;
}

void FileTransfer::restoreCaption() {
    m_view.setCaption(kTitle);
}

void FileTransfer::sendLine(const QByteArray &line) {
    if (m_state.mintMode == 0) {
        m_serial.CommSend(line);
    } else if (m_state.mintMode == 1) {
        float timeout = 10.0f;
        m_socket.SockSend(line, timeout);
    }
}

bool FileTransfer::awaitReply(ReplyWait &wait) {
    ReloadReplyTimeout(m_state, m_store);
    if (m_state.mintMode != 0 && m_state.mintMode != 1)
        return true;
    if (mustStop())
        return false;
    if (m_state.mintMode == 0) {
        wait.result = m_serial.CommReceive(wait.reply, 14, m_state.msngTimeout);
    } else {
        m_socket.setKeepAlive(true);
        wait.result = m_socket.SockReceive(wait.reply, 14, m_state.msngTimeout);
        m_socket.setKeepAlive(false);
    }
    return true;
}

qint16 FileTransfer::secondSocketWait(QByteArray &reply, float &timeout) {
    return m_socket.SockReceive(reply, 14, timeout);
}

void FileTransfer::judgeSerial(ReplyWait &wait) {
    const QString reply = latin1(wait.reply);
    switch (wait.result) {
    case -2:
        if (!m_state.mblnAbort) {
            m_view.setStatus(QStringLiteral(" Comm port not open"));
            m_state.gblnDownloadError = true;
        } else {
            m_view.setStatus(m_state.mstrZELFileTitle + QStringLiteral(" Download Cancelled"));
        }
        break;
    case -1:
        if (!m_state.mblnAbort) {
            m_view.setStatus(reply + QStringLiteral(" - Download error response timeout"));
            m_state.gblnDownloadError = true;
        } else if (!m_state.mblnBreakSeen) {
            m_view.setStatus(m_state.mstrZELFileTitle + QStringLiteral(" Download Cancelled"));
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
            m_state.mblnAbort = true;
        }
        break;
    default:
        break;
    }
}

void FileTransfer::judgeSocket(ReplyWait &wait) {
    const QString title = m_state.mstrZELFileTitle;
    switch (wait.result) {
    case -2:
        if (!m_state.mblnAbort) {
            m_view.setStatus(QStringLiteral(" Socket not open ") + number(wait.result));
            m_state.gblnDownloadError = true;
        } else {
            m_view.setStatus(title + QStringLiteral(" Download Cancelled ") + number(wait.result));
        }
        break;
    case -1:
        if (m_state.mblnAbort) {
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
        m_view.setStatus(QStringLiteral("SockReceive ") + reply + QStringLiteral(" - Success ") +
                         number(wait.result));
        if (!isAcceptedReply(wait.reply)) {
            m_view.setStatus(reply + QStringLiteral(" Packet error ") + number(wait.result));
            wait.packetError = true;
            m_state.mblnAbort = true;
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

void FileTransfer::SendAppFile(const QString &path) {
    m_view.setCaption(kTitle + QStringLiteral(" - ") + m_state.mstrZELFileTitle);
    m_view.setStatus(QStringLiteral("Downloading ") + fileTitle(m_state.mstrZELFileName));
    m_view.setProgressVisible(true);

    QFile file(path);
    const auto fileError = [&] {
        m_view.setStatus(QStringLiteral("File download error ") + fileErrorText(file));
        file.close();
        m_state.gblnDownloadError = true;
        restoreCaption();
    };
    if (!file.open(QIODevice::ReadOnly)) {
        fileError();
        return;
    }
    m_state.mblnDownloadDone = false;
    m_state.mlngFileLength = file.size();
    m_state.mlngBytesSent = 0;
    m_view.setProgressValue(0);

    ReplyWait last;
    qint16 lastPercent = 0;
    bool packetError = false;
    Framing::State framing;
    LineReader reader(file);

    if (m_state.mblnAbort) {
        m_view.setStatus(QStringLiteral("Cancelled"));
    } else if (!m_state.gblnDownloadError) {
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
            if (!Framing::awaitsReply(*line, framed, m_state.mblnDownloadDone, true))
                continue;
            ReplyWait wait;
            if (!awaitReply(wait))
                break;
            if (m_state.mintMode == 0)
                judgeSerial(wait);
            else if (m_state.mintMode == 1)
                judgeSocket(wait);
            packetError = packetError || wait.packetError;
            last = wait;
        }
    }

    if (m_state.mblnAbort)
        m_view.setStatus(QStringLiteral("Cancelled"));
    file.close();
    m_serial.clearInput();
    if (lastPercent < 100)
        m_view.setProgressValue(100);
    if (!m_state.mblnAbort) {
        if (m_state.gblnDownloadError) {
            m_view.setProgressValue(0);
        } else if (last.reply.contains("CP=0")) {
            m_view.setStatus(QStringLiteral("Download Finished"));
            m_state.mblnDownloadDone = true;
        } else if (last.reply.contains("CP=4")) {
            m_view.setStatus(QStringLiteral("Unsuccessful Transmission"));
            m_state.transferFailure = m_view.status();
        }
    } else if (last.result == 0) {
        if (packetError) {
            m_view.setStatus(latin1(last.reply) + QStringLiteral(" - Packet error"));
            m_state.transferFailure = m_view.status();
        } else if (!m_state.mblnBreakSeen) {
            m_view.setProgressValue(0);
            m_view.setStatus(m_state.mstrZELFileTitle + QStringLiteral(" Download Cancelled"));
        } else {
            m_view.setStatus(QStringLiteral("Check Printer..."));
        }
    }
    m_view.setProgressValue(0);
    restoreCaption();
}

void FileTransfer::SendFormatFile() {
    if (m_state.mstrFormatFileTitle.isEmpty())
        return;
    m_view.setCaption(kTitle + QStringLiteral(" - ") + m_state.mstrFormatFileTitle);
    m_state.mblnDownloadDone = true;

    QFile file(m_state.mstrFormatFileName);
    const auto fileError = [&] {
        m_view.setStatus(QStringLiteral("FormatDownload Error ") + fileErrorText(file));
        m_state.gblnDownloadError = true;
        file.close();
        restoreCaption();
    };
    if (!file.open(QIODevice::ReadOnly)) {
        fileError();
        return;
    }
    m_state.mlngFileLength = file.size();
    m_state.mlngBytesSent = 0;
    m_view.setProgressValue(0);
    m_state.mblnAbort = false;
    m_state.mblnBreakSeen = false;
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
    m_state.mblnDownloadDone = false;
    restoreCaption();
}

#pragma once

#include "ReplyVerdict.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

class DownloadSet;
class EngineView;
class LineReader;
class QFileDevice;
class SerialChannel;
class SocketChannel;
struct SharedState;

// The one send loop for application, format and lookup files: reads the
// file line by line, frames each line, sends it over the link of the current
// mode and awaits and judges the printer's reply where a packet ends.
class FileSender {
public:
    enum class Kind { Application, Format, Lookup };

    // How a transfer ended, for the stage that called it.
    struct Outcome {
        qint16 lastResult = 0;
        QByteArray lastReply;
        // Awaited packets, and those that got no reply even after the
        // further wait over TCP/IP.
        int awaited = 0;
        int unanswered = 0;
    };

    // The file under way, for a display of the rate: the bytes of its lines
    // sent so far (line ends not counted), its length, and since when.
    struct Progress {
        qint64 sent = 0;
        qint64 length = 0;
        QElapsedTimer started;
        bool running = false;
    };

    FileSender(SharedState &state, const DownloadSet &set, EngineView &view, SerialChannel &serial,
               SocketChannel &socket);

    // `shownName` goes into the window caption while the file is sent.
    Outcome send(Kind kind, const QString &path, const QString &shownName);

    // Sends bytes over the link of the current mode.
    void sendBytes(const QByteArray &bytes);

    // Awaits a 14-character reply and judges it as `stage` does, showing the
    // verdict; over TCP/IP a late printer gets its one further wait here.
    ReplyVerdict::Verdict awaitReply(ReplyVerdict::Stage stage, QByteArray &reply, qint16 &result);

    // True where a transfer must stop: a stop request (then says
    // "Cancelled") or a failed download.
    bool mustStop();

    // What a transfer stopped by a request shows: "Check Printer..." after
    // a serial break, else the application's cancelled text.
    QString stoppedText() const;

    // The file layer's error number and text.
    static QString fileErrorText(const QFileDevice &file);

    const Progress &progress() const { return m_progress; }

private:
    void showFileError(Kind kind, const QFileDevice &file);
    void showEnd(Kind kind, const Outcome &outcome);
    void noteUnanswered(const QString &shownName, const Outcome &outcome);
    // Ends the download with `text`, which the later stages must not hide.
    void fail(const QString &text);
    void restoreCaption();

    SharedState &m_state;
    const DownloadSet &m_set;
    EngineView &m_view;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
    Progress m_progress;
};

#pragma once

#include "TransferApi.h"

#include <QByteArray>
#include <QString>

#include <optional>

class EngineView;
class LineReader;
class QFileDevice;
class SerialChannel;
class SettingsStore;
class SocketChannel;
struct SharedState;

// Sends application and format files line by line over the link of the
// current mode, awaiting and judging the printer's reply after every
// acknowledged packet of an application.
class FileTransfer : public AppFileSender {
public:
    FileTransfer(SharedState &state, SettingsStore &store, EngineView &view, SerialChannel &serial,
                 SocketChannel &socket);

    void sendApplication(const QString &path) override;
    void sendFormat();

    // Adds the line's length to the bytes sent and returns the percentage
    // of the file, rounded half to even.
    qint16 countProgress(const QByteArray &line);

    // One reply wait of a transfer, judged as an application's reply. Also
    // used by the lookup records, which judge some results differently.
    struct ReplyWait {
        qint16 result = 0;
        QByteArray reply;
        bool packetError = false;
    };

    // Sends one line over the current link.
    void sendLine(const QByteArray &line);
    // Awaits a reply of 14 characters over the current link; false when a
    // flag already stopped the transfer (then nothing was awaited).
    bool awaitReply(ReplyWait &wait);
    // The one further wait a socket transfer grants a slow printer.
    qint16 secondSocketWait(QByteArray &reply, float &timeout);

    // The next line with its share counted into the progress bar; nothing
    // at the end of the file or on a read error (then reader.failed()).
    std::optional<QByteArray> nextLine(LineReader &reader, qint16 &lastPercent);

    // True where a transfer must stop: a stop request (then says
    // "Cancelled") or a failed download.
    bool mustStop();

    static QString latin1(const QByteArray &bytes) { return QString::fromLatin1(bytes); }
    // The file layer's error number and text.
    static QString fileErrorText(const QFileDevice &file);

private:
    void judgeSerial(ReplyWait &wait);
    void judgeSocket(ReplyWait &wait);
    void restoreCaption();

    SharedState &m_state;
    SettingsStore &m_store;
    EngineView &m_view;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
};

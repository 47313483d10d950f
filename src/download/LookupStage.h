#pragma once

#include "FileTransfer.h"

#include <QByteArray>
#include <QString>

class EngineView;
class SerialChannel;
struct SharedState;

// Sends the listed lookup tables, each as a lookup record numbered from the
// first lookup number, after a pause of 4 seconds.
class LookupStage {
public:
    enum class Next { ClosingPacket, EndStage };

    LookupStage(SharedState &state, EngineView &view, SerialChannel &serial,
                FileTransfer &transfer);

    Next run();

    // Converts the table into the working file and sends it; returns the
    // last reply ("" when none came).
    QByteArray sendLookup(const QString &path);

private:
    // Judges a lookup record's reply; unlike an application's, some results
    // have texts of their own.
    void judgeReply(FileTransfer::ReplyWait &wait);
    bool prepareWorkingFile(const QString &path, QString *error);

    SharedState &m_state;
    EngineView &m_view;
    SerialChannel &m_serial;
    FileTransfer &m_transfer;
};

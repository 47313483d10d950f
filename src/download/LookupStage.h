#pragma once

#include <QByteArray>
#include <QString>

class DownloadSet;
class EngineView;
class FileSender;
class SerialChannel;
struct SharedState;

// Sends the listed lookup tables in order, each as a lookup record numbered
// from the first lookup number, after a pause of 4 seconds.
class LookupStage {
public:
    enum class Next { ClosingPacket, EndStage };

    LookupStage(SharedState &state, const DownloadSet &set, EngineView &view,
                SerialChannel &serial, FileSender &sender);

    Next run();

    // Converts the table into the working file and sends it; returns the
    // last reply ("" when none came).
    QByteArray sendLookup(const QString &path);

private:
    // Writes the table as a record into the working file; false with an
    // error text on failure, or with none when a stop came first.
    bool prepareWorkingFile(const QString &path, QString *error);

    SharedState &m_state;
    const DownloadSet &m_set;
    EngineView &m_view;
    SerialChannel &m_serial;
    FileSender &m_sender;
    int m_nextNumber = 0;
};

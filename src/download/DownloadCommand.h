#pragma once

#include <QString>

class EngineView;
class FileTransfer;
class LinkTimers;
class LookupStage;
class ModelSequencer;
class SerialChannel;
class SocketChannel;
struct SharedState;

// The Download command from start to end: locks the window, opens the link,
// offers the model's default serial settings, runs the model's sequence,
// the format file, the lookups and the closing packet, and unlocks.
class DownloadCommand {
public:
    DownloadCommand(SharedState &state, EngineView &view, SerialChannel &serial,
                    SocketChannel &socket, FileTransfer &transfer, LookupStage &lookups,
                    ModelSequencer &models, LinkTimers *timers);

    void startDownload();

    // The model's default line settings, if they are checked before a
    // download in the current mode; with handshaking and the prompt's text.
    struct DefaultSettings {
        QString settings;
        int handshaking = 1;
        QString message;
    };
    static bool defaultSettingsFor(int printer, bool passThru, int mode, DefaultSettings *out);

private:
    enum class Offer { Proceed, Cancelled };
    Offer offerDefaultSettings();
    void sendClosingPacket();
    bool succeeded(bool completed) const;
    void endStage(bool completed);
    // The stages from the model's sequence to the closing packet; true when
    // the download ran through them.
    bool runStages();
    // After a stage: stop when it left a stop request (says "Cancelled") or
    // a failure.
    bool stopsAfterStage();

    SharedState &m_state;
    EngineView &m_view;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
    FileTransfer &m_transfer;
    LookupStage &m_lookups;
    ModelSequencer &m_models;
    LinkTimers *m_timers;
};

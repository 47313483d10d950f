#pragma once

#include <QString>

class DownloadSet;
class EngineView;
class FileSender;
class LinkTimers;
class LookupStage;
class ModelSequences;
class SerialChannel;
class SettingsStore;
class SocketChannel;
struct LineDefaults;
struct SharedState;

// The Download command from start to end: locks the window, opens the link,
// offers the model's default serial settings, runs the model's sequence,
// the format file, the lookups and the closing packet, and unlocks.
class DownloadCommand {
public:
    DownloadCommand(SharedState &state, const DownloadSet &set, const SettingsStore &store,
                    EngineView &view, SerialChannel &serial, SocketChannel &socket,
                    FileSender &sender, LookupStage &lookups, ModelSequences &models,
                    LinkTimers *timers);

    void run();

    // The question offering the model's default line settings.
    static QString defaultSettingsQuestion(const LineDefaults &defaults);

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
    // The first chosen file that is not a regular file; empty when none.
    QString unsendableFile() const;

    SharedState &m_state;
    const DownloadSet &m_set;
    const SettingsStore &m_store;
    EngineView &m_view;
    SerialChannel &m_serial;
    SocketChannel &m_socket;
    FileSender &m_sender;
    LookupStage &m_lookups;
    ModelSequences &m_models;
    LinkTimers *m_timers;
};

#pragma once

#include "DownloadCommand.h"
#include "FileSender.h"
#include "LookupStage.h"
#include "ModelSequences.h"

// The engine as the window, the command line and the tests put it together:
// the one send loop, the lookup stage and the model sequences under the
// Download command, all on the same view and links.
struct DownloadEngine {
    DownloadEngine(SharedState &state, const DownloadSet &set, const SettingsStore &store,
                   EngineView &view, SerialChannel &serial, SocketChannel &socket,
                   LinkTimers *timers)
        : sender(state, set, view, serial, socket), lookups(state, set, view, serial, sender),
          models(state, set, view, serial, socket, sender),
          command(state, set, store, view, serial, socket, sender, lookups, models, timers) {}

    FileSender sender;
    LookupStage lookups;
    ModelSequences models;
    DownloadCommand command;
};

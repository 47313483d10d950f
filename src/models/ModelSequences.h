#pragma once

#include "TransferApi.h"

class EngineView;
class SerialChannel;
class SettingsStore;
struct SharedState;

// What each printer model needs before and around the transfer of the
// application file, and the operator's instruction for each model.
class ModelSequences : public ModelSequencer {
public:
    ModelSequences(SharedState &state, SettingsStore &store, EngineView &view,
                   SerialChannel &serial, AppFileSender &sender);

    void runSequence() override;
    // Whether this version has the model's download sequence.
    static bool hasSequence(int printer);
    void showOperatorPrompt() override;

    void sendQ410();
    void sendQ412();

    // The application transfer step every sequence ends with.
    void transferApplication();

    // The printer's answer to "{SR}" on the serial link: true when the
    // transfer may follow.
    bool checkPrinterStatus();

private:
    // The start every sequence shares: false when a stop came first (then
    // says "Cancelled") or when there is no application to send.
    bool hasApplicationToSend();

    SharedState &m_state;
    SettingsStore &m_store;
    EngineView &m_view;
    SerialChannel &m_serial;
    AppFileSender &m_sender;
};

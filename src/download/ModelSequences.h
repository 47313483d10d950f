#pragma once

class DownloadSet;
class EngineView;
class FileSender;
class SerialChannel;
struct PrinterModel;
struct SharedState;

// What each printer model needs before and around the transfer of the
// application file, and the operator's instruction for each model.
class ModelSequences {
public:
    ModelSequences(SharedState &state, const DownloadSet &set, EngineView &view,
                   SerialChannel &serial, FileSender &sender);

    // Runs the chosen model's sequence up to and including the
    // application transfer.
    void run();
    // Whether this version has the model's download sequence.
    static bool hasSequence(int printer);
    // Puts the operator's instruction for the chosen model in the status line.
    void showOperatorPrompt();

private:
    // The Q410, Q415, Q417 and Q412: the application, after "{SR}" on the
    // serial link for a model that asks for status first.
    void runStandard(const PrinterModel &model);
    // The start every sequence shares: false when a stop came first (then
    // says "Cancelled") or when there is no application to send.
    bool hasApplicationToSend();
    // The application transfer step every sequence ends with.
    void transferApplication();
    // The printer's answer to "{SR}" on the serial link: true when the
    // transfer may follow.
    bool checkPrinterStatus();

    SharedState &m_state;
    const DownloadSet &m_set;
    EngineView &m_view;
    SerialChannel &m_serial;
    FileSender &m_sender;
};

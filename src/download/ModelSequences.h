#pragma once

#include <QByteArray>
#include <QString>

class DownloadSet;
class EngineView;
class FileSender;
class SerialChannel;
class SocketChannel;
struct PrinterModel;
struct SharedState;

// What each printer model needs before and around the transfer of the
// application file, and the operator's instruction for each model.
class ModelSequences {
public:
    ModelSequences(SharedState &state, const DownloadSet &set, EngineView &view,
                   SerialChannel &serial, SocketChannel &socket, FileSender &sender);

    // Runs the chosen model's sequence up to and including the
    // application transfer.
    void run();
    // Puts the operator's instruction for the chosen model in the status line.
    void showOperatorPrompt();

    // What the keypad and the R300 are sent before an application.
    static const QByteArray kImmediateCommand;
    static const QByteArray kLongImmediateCommand;

private:
    // The Q410, Q415, Q417 and Q412: the application, after "{SR}" on the
    // serial link for a model that asks for status first.
    void runStandard(const PrinterModel &model);
    // The T540 and T523: "{SR}" judged on either link, then the application.
    void runStatusFirst(const PrinterModel &model);
    // The R300: the immediate command and "^SFa", then the application.
    void runImmediate();
    // The K72e: the pass-through preparation, then the application.
    void runKeypad();
    // The keypad's five preparing transmissions before a pass-through.
    void prepareKeypad(bool bundle);
    // Asks for the printer's status over the link in use and judges the
    // reply: false when the transfer must not follow. A refused reply stops
    // a bundle (abortRequested) but fails a plain download.
    bool askStatus(const PrinterModel &model, bool bundle);
    // A stop before anything was sent: says "Cancelled" for a stop request.
    bool stoppedAlready();
    // The refusal of lookups without an application.
    void refuseLookupsAlone();
    void show(const QString &text);
    void pause(float seconds);
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
    SocketChannel &m_socket;
    FileSender &m_sender;
};

#pragma once

#include <QString>
#include <QtGlobal>

// The state that the window, the dialogs and the engine share: the
// program-wide link settings (g...) and the main window's members that the
// engine reads and writes (m...). One instance, owned by the application and
// passed by reference.
struct SharedState {
    // Program-wide
    qint16 comPort = 1;
    QString lineSettings = QStringLiteral("9600,N,8,1");
    qint16 handshaking = 1;
    QString ipAddress;
    qint32 ipPort = 9100;
    bool downloadError = false;
    bool isBundle = false;
    qint16 nextLookupNumber = 0;
    float dialogTimeout = 25.0f;
    QString dialogTimeoutText;

    // Main window: the download set
    QString appPath;
    QString appTitle;
    QString formatPath;
    QString formatTitle;

    // Main window: link and view choices
    qint16 mode = 0;
    float replyTimeout = 25.0f;
    qint16 printer = 0;
    bool passThrough = false;
    bool lookupView = false;
    bool neverShowDefault = false;
    qint16 firstLookup = 0;
    bool exitRequested = false;

    // Download flags
    bool abortRequested = false;
    bool breakSeen = false;
    bool downloadDone = false;
    bool appSent = false;
    // The operator pressed Cancel during the running download. Unlike
    // abortRequested, which the sequences clear, it holds until the next start.
    bool operatorCancelled = false;
    // How a transfer failed when the flags alone do not keep it (a packet
    // error, which the sequences clear, or the printer's "CP=4").
    QString transferFailure;

    // Socket event flags
    bool connected = false;
    bool sendComplete = false;
    bool dataArrived = false;

    // Transfer counters; 64-bit so that progress stays right beyond 2 GB.
    qint64 bytesSent = 0;
    qint64 fileLength = 0;
    QString currentLookupName;

    // The option the mode dialog shows: 0 "Serial", 1 "TCP/IP".
    qint16 modeOption = 0;
};

namespace Printers {
// Positions in the printer list.
enum : qint16 {
    Q410 = 0,
    Q415 = 1,
    Q417 = 2,
    K72e = 3,
    Q412 = 4,
    T540 = 5,
    R300 = 6,
    T523 = 7,
};
} // namespace Printers

#pragma once

#include <QString>
#include <QtGlobal>

// The state that the window, the dialogs and the engine share: the
// program-wide link settings (g...) and the main window's members that the
// engine reads and writes (m...). One instance, owned by the application and
// passed by reference.
struct SharedState {
    // Program-wide
    qint16 gintComPort = 1;
    QString gstrSettings = QStringLiteral("9600,N,8,1");
    qint16 gintHandshaking = 1;
    QString gstrIPAddress;
    qint32 glngIPPort = 9100;
    bool gblnDownloadError = false;
    bool gblnAllFile = false;
    qint16 gintLookupCount = 0;
    float gsngTimeout = 25.0f;
    QString gstrTimeoutText;

    // Main window: the download set
    QString mstrZELFileName;
    QString mstrZELFileTitle;
    QString mstrFormatFileName;
    QString mstrFormatFileTitle;

    // Main window: link and view choices
    qint16 mintMode = 0;
    float msngTimeout = 25.0f;
    qint16 mintPrinter = 0;
    bool mblnPassThru = false;
    bool mblnLookupView = false;
    bool mblnNeverShowDefault = false;
    qint16 mintFirstLookup = 0;
    bool mblnExitApp = false;

    // Download flags
    bool mblnAbort = false;
    bool mblnBreakSeen = false;
    bool mblnDownloadDone = false;
    bool mblnAppSent = false;
    // The operator pressed Cancel during the running download. Unlike
    // mblnAbort, which the sequences clear, it holds until the next start.
    bool operatorCancelled = false;
    // How a transfer failed when the flags alone do not keep it (a packet
    // error, which the sequences clear, or the printer's "CP=4").
    QString transferFailure;

    // Socket event flags
    bool mblnConnected = false;
    bool mblnSendComplete = false;
    bool mblnDataArrived = false;

    // Transfer counters; 64-bit so that progress stays right beyond 2 GB.
    qint64 mlngBytesSent = 0;
    qint64 mlngFileLength = 0;
    QString mstrLookupName;

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

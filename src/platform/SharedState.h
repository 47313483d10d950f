#pragma once

#include <QString>
#include <QtGlobal>

// The link settings, the choices of the window and the flags of the running
// download that the window, the dialogs and the engine share. One instance,
// owned by the application and passed by reference.
struct SharedState {
    // Link settings
    qint16 comPort = 1;
    QString lineSettings = QStringLiteral("9600,N,8,1");
    qint16 handshaking = 1;
    QString ipAddress;
    qint32 ipPort = 9100;
    // 0 serial, 1 TCP/IP.
    qint16 mode = 0;
    // Seconds a reply is awaited; read from "Timeout" when a download starts.
    float replyTimeout = 25.0f;
    // The time-out as the settings dialogs hold it.
    float dialogTimeout = 25.0f;
    QString dialogTimeoutText;
    // The option the mode dialog shows: 0 "Serial", 1 "TCP/IP".
    qint16 modeOption = 0;

    // Choices of the window
    qint16 printer = 0;
    bool passThrough = false;
    bool lookupView = false;
    bool neverShowDefault = false;
    bool exitRequested = false;

    // The running download
    // A stop was requested: Cancel, a serial break, a refused packet. The
    // sequences clear it when they return.
    bool abortRequested = false;
    bool breakSeen = false;
    // The link or a transfer failed: the remaining stages are skipped.
    bool downloadError = false;
    // A sequence reached the application transfer; kept between downloads.
    bool appSent = false;
    // The operator pressed Cancel during the running download. Unlike
    // abortRequested it holds until the next start.
    bool operatorCancelled = false;
    // How a transfer failed when the flags alone do not keep it (a refused
    // packet, which the sequences clear, or the printer's "CP=4").
    QString transferFailure;
    QString currentLookupName;
};

#pragma once

#include "CliRequest.h"

#include <QCommandLineParser>

#include <optional>

// The program's options and the two commands, "download" and "discover".
class CliOptions {
public:
    CliOptions();

    // Nothing, with the reason in `error`, for a command line that cannot be taken.
    std::optional<CliRequest> parse(const QStringList &arguments, QString *error);
    QString helpText() const;

private:
    bool checkDownload(CliRequest &request, QString *error) const;
    bool checkDiscover(CliRequest &request, QString *error) const;

    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QCommandLineOption m_to{"to",
                            "Download to TARGET: com1 ... com128 or tcp:HOST[:PORT]. "
                            "Repeat it to download to several printers at once.",
                            "TARGET"};
    QCommandLineOption m_line{"line", "Line settings of serial targets, e.g. 9600,N,8,1.",
                              "SETTINGS"};
    QCommandLineOption m_flow{"flow",
                              "Handshaking of serial targets: none, xonxoff, rts or "
                              "rts-xonxoff.",
                              "FLOW"};
    QCommandLineOption m_model{"model",
                               "Printer model: Q410, Q415, Q417, K72e, Q412, T540, "
                               "R300 or T523.",
                               "MODEL"};
    QCommandLineOption m_passThrough{"pass-through",
                                     "The K72e passes the download through to its printer."};
    QCommandLineOption m_app{"app", "Application file (.fpc, .cfu, or an .all bundle).", "FILE"};
    QCommandLineOption m_format{"format", "Format file.", "FILE"};
    QCommandLineOption m_lookup{"lookup", "Lookup table; repeat it, in the order they go out.",
                                "FILE"};
    QCommandLineOption m_firstLookup{"first-lookup", "Number of the first lookup, 0 to 9.", "N"};
    QCommandLineOption m_lineSettings{
        "line-settings",
        "When the serial line differs from the model's own settings: 'model' switches to them "
        "for this download, 'keep' (the default) keeps the line as it is.",
        "model|keep"};
    QCommandLineOption m_json{"json", "Print one JSON object per target instead of the summary."};
    QCommandLineOption m_dryRun{"dry-run",
                                "Open no link: write the bytes the download would send "
                                "to a printer that accepts everything into FILE.",
                                "FILE"};
    QCommandLineOption m_trace{"trace", "Write the bytes sent and received, with times, into FILE.",
                               "FILE"};
    QCommandLineOption m_port{"port", "discover: the raw port to try (default 9100).", "PORT"};
    QCommandLineOption m_parallel{"parallel", "discover: connections at a time (default 32).", "N"};
    QCommandLineOption m_timeout{"timeout",
                                 "discover: milliseconds to wait for a connection and for the "
                                 "reply (default 500).",
                                 "MS"};
};

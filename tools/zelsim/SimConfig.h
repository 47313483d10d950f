#pragma once

#include "FaultPlan.h"

#include <QHostAddress>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace zelsim {

// What the command line asks of the simulator.
struct SimConfig {
    bool tcp = false;
    QHostAddress host = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 9100;
    bool serial = false;
    QString linkPath;
    QString capturePath;
    bool log = false;
    FaultPlan faults;

    static void addOptions(QCommandLineParser &parser);
    // Reads a parser that has already parsed the arguments. With no endpoint
    // named, the printer listens on 127.0.0.1:9100.
    static std::optional<SimConfig> fromParser(const QCommandLineParser &parser, QString *error);
    // "HOST:PORT", ":PORT" or "PORT"; "[v6]:PORT" for IPv6, "*" for every address.
    static bool parseEndpoint(const QString &text, QHostAddress *host, quint16 *port);
};

} // namespace zelsim

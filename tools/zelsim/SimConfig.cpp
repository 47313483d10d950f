#include "SimConfig.h"

#include <QCommandLineParser>

namespace zelsim {

void SimConfig::addOptions(QCommandLineParser &parser) {
    parser.setApplicationDescription(
        QStringLiteral(
            "Virtual ZEL printer: answers the ZEL Download Utility over TCP and/or a\n"
            "pseudo-terminal. On start it prints one line per endpoint on stdout,\n"
            "\"tcp: HOST:PORT\" and \"serial: /dev/pts/N\" (again after a hangup).\n\n") +
        Fault::helpText());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("tcp"),
                      QStringLiteral("Listen on HOST:PORT (default 127.0.0.1:9100 when no endpoint "
                                     "is named; port 0 picks a free port)."),
                      QStringLiteral("HOST:PORT")});
    parser.addOption(
        {QStringLiteral("serial"), QStringLiteral("Open a pseudo-terminal and print its path.")});
    parser.addOption({QStringLiteral("link"),
                      QStringLiteral("Also point the symbolic link PATH at the pseudo-terminal "
                                     "(implies --serial)."),
                      QStringLiteral("PATH")});
    parser.addOption({QStringLiteral("capture"),
                      QStringLiteral("Write every byte received, exactly and in order, to FILE."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("log"),
                      QStringLiteral("Print a transcript of packets and replies on stdout.")});
    parser.addOption({QStringLiteral("fault"),
                      QStringLiteral("Misbehave as FAULT says (see above); repeatable."),
                      QStringLiteral("FAULT")});
}

std::optional<SimConfig> SimConfig::fromParser(const QCommandLineParser &parser, QString *error) {
    SimConfig config;
    if (parser.isSet(QStringLiteral("tcp"))) {
        config.tcp = true;
        const QString endpoint = parser.value(QStringLiteral("tcp"));
        if (!parseEndpoint(endpoint, &config.host, &config.port)) {
            if (error)
                *error = QStringLiteral("bad --tcp \"%1\": expected HOST:PORT").arg(endpoint);
            return std::nullopt;
        }
    }
    config.linkPath = parser.value(QStringLiteral("link"));
    config.serial = parser.isSet(QStringLiteral("serial")) || !config.linkPath.isEmpty();
    if (!config.tcp && !config.serial)
        config.tcp = true;
    config.capturePath = parser.value(QStringLiteral("capture"));
    config.log = parser.isSet(QStringLiteral("log"));
    const QStringList faults = parser.values(QStringLiteral("fault"));
    for (const QString &faultText : faults) {
        const std::optional<Fault> fault = Fault::parse(faultText, error);
        if (!fault)
            return std::nullopt;
        config.faults.add(*fault);
    }
    return config;
}

bool SimConfig::parseEndpoint(const QString &text, QHostAddress *host, quint16 *port) {
    QString hostText;
    QString portText = text;
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon >= 0) {
        hostText = text.left(colon);
        portText = text.mid(colon + 1);
    }
    bool ok = false;
    const uint number = portText.toUInt(&ok);
    if (!ok || number > 65535)
        return false;
    if (hostText.startsWith(u'[') && hostText.endsWith(u']'))
        hostText = hostText.mid(1, hostText.size() - 2);

    QHostAddress address;
    if (hostText.isEmpty() || hostText == u"localhost")
        address = QHostAddress(QHostAddress::LocalHost);
    else if (hostText == u"*")
        address = QHostAddress(QHostAddress::Any);
    else if (!address.setAddress(hostText))
        return false;
    *host = address;
    *port = static_cast<quint16>(number);
    return true;
}

} // namespace zelsim

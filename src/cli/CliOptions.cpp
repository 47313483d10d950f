#include "CliOptions.h"

#include "LineSettings.h"
#include "Target.h"

namespace {
bool toNumber(const QString &text, int low, int high, int *value) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high)
        return false;
    *value = n;
    return true;
}
} // namespace

CliOptions::CliOptions()
    : m_help(m_parser.addHelpOption()), m_version(m_parser.addVersionOption()) {
    m_parser.setApplicationDescription(
        QStringLiteral("Downloads ZEL applications, formats and lookup tables to label printers "
                       "without a window.\n\n"
                       "  zeldl-cli download SET.zelset [--to TARGET]...\n"
                       "  zeldl-cli download --model MODEL [--app FILE] [--format FILE] "
                       "[--lookup FILE]... [--to TARGET]...\n"
                       "  zeldl-cli discover [CIDR|FIRST-LAST] [--port 9100]\n\n"
                       "Exit status: 0 every target complete, 1 a download failed, 2 bad "
                       "arguments or files (nothing sent), 3 a target could not be reached, "
                       "130 interrupted."));
    m_parser.addPositionalArgument(QStringLiteral("command"),
                                   QStringLiteral("download or discover"));
    m_parser.addPositionalArgument(QStringLiteral("set|range"),
                                   QStringLiteral("download: a .zelset file; discover: the "
                                                  "addresses to try"),
                                   QStringLiteral("[SET|RANGE]"));
    m_parser.addOptions({m_to, m_line, m_flow, m_model, m_passThrough, m_app, m_format, m_lookup,
                         m_firstLookup, m_lineSettings, m_json, m_dryRun, m_trace, m_port,
                         m_parallel, m_timeout});
}

QString CliOptions::helpText() const {
    return m_parser.helpText();
}

std::optional<CliRequest> CliOptions::parse(const QStringList &arguments, QString *error) {
    if (!m_parser.parse(arguments)) {
        *error = m_parser.errorText();
        return std::nullopt;
    }
    CliRequest request;
    if (m_parser.isSet(m_help))
        return request;
    if (m_parser.isSet(m_version)) {
        request.command = CliRequest::Command::Version;
        return request;
    }
    const QStringList positional = m_parser.positionalArguments();
    const QString command = positional.value(0);
    if (positional.size() > 2) {
        *error = QStringLiteral("unexpected argument: %1").arg(positional[2]);
        return std::nullopt;
    }
    request.json = m_parser.isSet(m_json);
    if (command == QLatin1String("download")) {
        request.command = CliRequest::Command::Download;
        request.setFile = positional.value(1);
        if (!checkDownload(request, error))
            return std::nullopt;
    } else if (command == QLatin1String("discover")) {
        request.command = CliRequest::Command::Discover;
        request.range = positional.value(1);
        if (!checkDiscover(request, error))
            return std::nullopt;
    } else {
        *error = command.isEmpty() ? QStringLiteral("no command: download or discover")
                                   : QStringLiteral("unknown command: %1").arg(command);
        return std::nullopt;
    }
    return request;
}

bool CliOptions::checkDownload(CliRequest &request, QString *error) const {
    for (const QCommandLineOption *discoverOnly : {&m_port, &m_parallel, &m_timeout})
        if (m_parser.isSet(*discoverOnly)) {
            *error = QStringLiteral("--%1 belongs to discover").arg(discoverOnly->names().first());
            return false;
        }
    request.model = m_parser.value(m_model);
    request.passThrough = m_parser.isSet(m_passThrough);
    request.application = m_parser.value(m_app);
    request.format = m_parser.value(m_format);
    request.lookups = m_parser.values(m_lookup);
    request.setByOptions = false;
    for (const QCommandLineOption *setOption :
         {&m_model, &m_passThrough, &m_app, &m_format, &m_lookup, &m_firstLookup})
        request.setByOptions = request.setByOptions || m_parser.isSet(*setOption);
    if (m_parser.isSet(m_firstLookup) &&
        !toNumber(m_parser.value(m_firstLookup), 0, 9, &request.firstLookup)) {
        *error = QStringLiteral("--first-lookup takes a number from 0 to 9");
        return false;
    }
    request.targets = m_parser.values(m_to);
    request.line = m_parser.value(m_line);
    if (m_parser.isSet(m_line) && !LineSettings::parse(request.line)) {
        *error = QStringLiteral("--line %1: line settings read like 9600,N,8,1").arg(request.line);
        return false;
    }
    if (m_parser.isSet(m_flow)) {
        request.flow = Target::flowCode(m_parser.value(m_flow));
        if (request.flow < 0) {
            *error = QStringLiteral("--flow takes none, xonxoff, rts or rts-xonxoff");
            return false;
        }
    }
    const QString answer = m_parser.value(m_lineSettings);
    if (!answer.isEmpty() && answer != QLatin1String("model") && answer != QLatin1String("keep")) {
        *error = QStringLiteral("--line-settings takes model or keep");
        return false;
    }
    request.takeModelSettings = answer == QLatin1String("model");
    request.dryRun = m_parser.value(m_dryRun);
    request.trace = m_parser.value(m_trace);
    return true;
}

bool CliOptions::checkDiscover(CliRequest &request, QString *error) const {
    for (const QCommandLineOption *downloadOnly :
         {&m_to, &m_line, &m_flow, &m_model, &m_passThrough, &m_app, &m_format, &m_lookup,
          &m_firstLookup, &m_lineSettings, &m_dryRun, &m_trace})
        if (m_parser.isSet(*downloadOnly)) {
            *error = QStringLiteral("--%1 belongs to download").arg(downloadOnly->names().first());
            return false;
        }
    if (m_parser.isSet(m_port) && !toNumber(m_parser.value(m_port), 1, 65535, &request.port)) {
        *error = QStringLiteral("--port takes a number from 1 to 65535");
        return false;
    }
    if (m_parser.isSet(m_parallel) &&
        !toNumber(m_parser.value(m_parallel), 1, 1024, &request.parallel)) {
        *error = QStringLiteral("--parallel takes a number from 1 to 1024");
        return false;
    }
    if (m_parser.isSet(m_timeout) &&
        !toNumber(m_parser.value(m_timeout), 1, 60000, &request.timeoutMs)) {
        *error = QStringLiteral("--timeout takes milliseconds from 1 to 60000");
        return false;
    }
    return true;
}

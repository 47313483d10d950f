#include "DownloadJob.h"

#include "CliRequest.h"
#include "DownloadSetFile.h"
#include "DownloadSetRules.h"
#include "PrinterModels.h"
#include "SerialDeviceMap.h"
#include "SettingsStore.h"
#include "StoredValues.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {
QString readProblem(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("%1: no such file").arg(path);
    if (!info.isFile())
        return QStringLiteral("%1: not a regular file").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

bool setFromOptions(const CliRequest &request, DownloadJob &job, QString *error) {
    if (request.model.isEmpty()) {
        *error = QStringLiteral("--model is needed when no set file is given");
        return false;
    }
    const int printer = DownloadSetFile::modelIndex(request.model);
    if (printer < 0) {
        QStringList names;
        for (const PrinterModel &model : PrinterModels::all())
            names << DownloadSetFile::modelName(model.index);
        *error = QStringLiteral("unknown model %1 (%2)").arg(request.model, names.join(u", "));
        return false;
    }
    job.printer = qint16(printer);
    job.passThrough = request.passThrough;
    const auto full = [](const QString &path) {
        return QFileInfo(path).absoluteFilePath();
    };
    if (!request.application.isEmpty())
        job.set.setApplication(full(request.application));
    if (!request.format.isEmpty())
        job.set.setFormat(full(request.format));
    job.set.setFirstLookup(std::max(request.firstLookup, 0));
    QStringList lookups;
    for (const QString &lookup : request.lookups)
        lookups << full(lookup);
    if (job.set.addLookups(lookups) == DownloadSet::Added::TooMany) {
        *error = QStringLiteral("%1 lookups from number %2 do not fit in the 10 lookup slots")
                     .arg(lookups.size())
                     .arg(job.set.firstLookup());
        return false;
    }
    if (job.set.isBundle() && job.set.lookupCount() > 0) {
        *error = QStringLiteral("a bundle (.all) carries its own lookups: no --lookup with it");
        return false;
    }
    return true;
}

bool setFromFile(const CliRequest &request, DownloadJob &job, std::optional<Target> *link,
                 QString *error) {
    DownloadSetFile::ReadResult read = DownloadSetFile::read(request.setFile);
    // A set that lost files is not the set the user meant to send.
    if (!read.ok() || !read.missing.isEmpty()) {
        *error = read.message;
        return false;
    }
    job.set = read.content.set;
    job.printer = read.content.printer;
    job.passThrough = read.content.passThrough;
    if (const auto &stored = read.content.link) {
        Target target;
        target.mode = stored->mode;
        target.comPort = stored->comPort;
        target.lineSettings = stored->lineSettings;
        target.handshaking = stored->handshaking;
        target.host = stored->ipAddress;
        target.port = quint16(stored->ipPort);
        *link = target;
    }
    return true;
}

// The link the window would use.
Target storedTarget(SettingsStore &store) {
    StoredValues stored(store);
    Target target;
    target.mode = qint16(stored.number(QStringLiteral("Mode"), 0, 0, 1));
    target.comPort =
        qint16(stored.number(QStringLiteral("Comport"), 1, 1, SerialDeviceMap::kHighestPort));
    target.lineSettings = stored.lineSettings(QStringLiteral("Settings"), target.lineSettings);
    target.handshaking = qint16(stored.number(QStringLiteral("Handshaking"), 1, 0, 3));
    target.host =
        stored.hostAddress(QStringLiteral("IPAddress"), QLatin1String(SettingDefaults::kIPAddress));
    target.port = quint16(stored.number(QStringLiteral("IPPort"), 9100, 1, 65535));
    return target;
}

QString refusal(const PrinterModel &model) {
    const QString name = DownloadSetFile::modelName(model.index);
    if (model.tcp == TcpRule::PassThroughOnly)
        return QStringLiteral("the %1 downloads over TCP/IP only with --pass-through").arg(name);
    return QStringLiteral("the %1 does not download over TCP/IP: use a serial port (com1 ... "
                          "com128)")
        .arg(name);
}
} // namespace

std::optional<DownloadJob> DownloadJob::resolve(const CliRequest &request, SettingsStore &store,
                                                QString *error) {
    DownloadJob job;
    std::optional<Target> setLink;
    if (!request.setFile.isEmpty() && request.setByOptions) {
        *error = QStringLiteral("give the set either as a file or by options, not both");
        return std::nullopt;
    }
    if (request.setFile.isEmpty() ? !setFromOptions(request, job, error)
                                  : !setFromFile(request, job, &setLink, error))
        return std::nullopt;
    const PrinterModel &model = *PrinterModels::find(job.printer);
    if (job.passThrough && !model.passThrough) {
        *error = QStringLiteral("--pass-through is for the K72e only");
        return std::nullopt;
    }
    if (!job.set.hasApplication() && !job.set.hasFormat() && job.set.lookupCount() == 0) {
        *error = QStringLiteral("the set has nothing to download");
        return std::nullopt;
    }
    QStringList files{job.set.applicationPath(), job.set.formatPath()};
    for (const DownloadSet::Lookup &lookup : job.set.lookups())
        files << lookup.path;
    for (const QString &file : files)
        if (const QString problem = file.isEmpty() ? QString() : readProblem(file);
            !problem.isEmpty()) {
            *error = problem;
            return std::nullopt;
        }

    // No --to: the set's link, else the window's. Serial targets given by
    // --to take the line of the set's serial link, else the window's.
    const Target stored = storedTarget(store);
    const Target line = setLink && setLink->isSerial() ? *setLink : stored;
    if (request.targets.isEmpty())
        job.targets << setLink.value_or(stored);
    for (const QString &text : request.targets) {
        std::optional<Target> target = Target::parse(text, error);
        if (!target)
            return std::nullopt;
        target->lineSettings = line.lineSettings;
        target->handshaking = line.handshaking;
        for (const Target &earlier : job.targets)
            if (earlier.name() == target->name()) {
                *error = QStringLiteral("%1 is given twice").arg(text);
                return std::nullopt;
            }
        job.targets << *target;
    }
    for (Target &target : job.targets) {
        if (!request.line.isEmpty())
            target.lineSettings = request.line;
        if (request.flow >= 0)
            target.handshaking = qint16(request.flow);
        if (!target.isSerial() && !PrinterModels::allowsTcp(model, job.passThrough)) {
            *error = target.name() + QStringLiteral(": ") + refusal(model);
            return std::nullopt;
        }
    }
    if (!request.dryRun.isEmpty() && job.targets.size() > 1) {
        *error = QStringLiteral("--dry-run takes at most one target");
        return std::nullopt;
    }
    job.takeModelSettings = request.takeModelSettings;
    job.json = request.json;
    job.dryRun = request.dryRun;
    job.trace = request.trace;
    return job;
}

QString DownloadJob::modelName() const {
    return DownloadSetFile::modelName(printer);
}

QString DownloadJob::traceFile(const Target &target) const {
    if (trace.isEmpty() || targets.size() < 2)
        return trace;
    QString name = target.name();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.-]+")), QStringLiteral("_"));
    return trace + QLatin1Char('.') + name;
}

QStringList DownloadJob::workerArguments(const Target &target) const {
    QStringList args{QStringLiteral("download"), QStringLiteral("--json"),
                     QStringLiteral("--model"), modelName()};
    if (passThrough)
        args << QStringLiteral("--pass-through");
    if (set.hasApplication())
        args << QStringLiteral("--app") << set.applicationPath();
    if (set.hasFormat())
        args << QStringLiteral("--format") << set.formatPath();
    for (const DownloadSet::Lookup &lookup : set.lookups())
        args << QStringLiteral("--lookup") << lookup.path;
    args << QStringLiteral("--first-lookup") << QString::number(set.firstLookup());
    args << QStringLiteral("--to") << target.name();
    // The serial line counts on TCP/IP too, where a model's check looks at it.
    args << QStringLiteral("--line") << target.lineSettings << QStringLiteral("--flow")
         << Target::flowName(target.handshaking);
    args << QStringLiteral("--line-settings")
         << (takeModelSettings ? QStringLiteral("model") : QStringLiteral("keep"));
    if (!trace.isEmpty())
        args << QStringLiteral("--trace") << traceFile(target);
    return args;
}

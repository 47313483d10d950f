#include "CliProgram.h"

#include "AddressRange.h"
#include "CliOptions.h"
#include "Discovery.h"
#include "DownloadJob.h"
#include "SettingsStore.h"
#include "SignalWatcher.h"
#include "TargetRun.h"
#include "TrafficMeter.h"
#include "WorkerPool.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {
void out(const QString &text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
}

void err(const QString &text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

void printJson(const QJsonObject &object) {
    out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void printResults(const QList<TargetResult> &results, bool json) {
    for (const TargetResult &result : results) {
        if (json) {
            printJson(result.toJson());
        } else {
            out(result.target + QStringLiteral(": ") + result.status);
            out(result.summary());
        }
    }
    std::fflush(stdout);
}
} // namespace

int CliProgram::run(const QStringList &arguments) {
    CliOptions options;
    QString error;
    const std::optional<CliRequest> request = options.parse(arguments, &error);
    if (!request) {
        err(QStringLiteral("zeldl-cli: %1\nTry 'zeldl-cli --help'.").arg(error));
        return kBadArguments;
    }
    switch (request->command) {
    case CliRequest::Command::Help:
        out(options.helpText());
        return 0;
    case CliRequest::Command::Version:
        out(QStringLiteral("zeldl-cli ") + QCoreApplication::applicationVersion());
        return 0;
    case CliRequest::Command::Download:
        return download(*request);
    case CliRequest::Command::Discover:
        return discover(*request);
    }
    return kBadArguments;
}

int CliProgram::download(const CliRequest &request) {
    SettingsStore store;
    QString error;
    const std::optional<DownloadJob> job = DownloadJob::resolve(request, store, &error);
    if (!job) {
        err(QStringLiteral("zeldl-cli: ") + error);
        return kBadArguments;
    }
    return job->targets.size() == 1 ? downloadHere(*job) : downloadInWorkers(*job);
}

int CliProgram::downloadHere(const DownloadJob &job) {
    TargetRun target(job, job.targets.first());
    QString error;
    if (!target.prepare(&error)) {
        err(QStringLiteral("zeldl-cli: ") + error);
        return kBadArguments;
    }
    SignalWatcher signals;
    QObject::connect(&signals, &SignalWatcher::terminationRequested, &signals, [&](int number) {
        m_signal = number;
        target.interrupt();
    });
    const TargetResult result = target.run();
    printResults({result}, job.json);
    return m_signal != 0 && result.outcome == TargetResult::Outcome::Cancelled
               ? 128 + m_signal
               : result.exitStatus();
}

int CliProgram::downloadInWorkers(const DownloadJob &job) {
    WorkerPool pool(job);
    SignalWatcher signals;
    QObject::connect(&signals, &SignalWatcher::terminationRequested, &pool, [&](int number) {
        m_signal = number;
        pool.forward(number);
    });
    const QList<TargetResult> results = pool.run();
    printResults(results, job.json);
    const int status = TargetResult::exitStatus(results);
    return status == 130 && m_signal != 0 ? 128 + m_signal : status;
}

int CliProgram::discover(const CliRequest &request) {
    QString error;
    std::optional<QList<QHostAddress>> addresses;
    if (request.range.isEmpty())
        addresses = AddressRange::localNetworks();
    else
        addresses = AddressRange::parse(request.range, &error);
    if (!addresses) {
        err(QStringLiteral("zeldl-cli: ") + error);
        return kBadArguments;
    }
    if (addresses->isEmpty())
        err(QStringLiteral("zeldl-cli: no local network to search"));
    Discovery discovery(*addresses, quint16(request.port), request.parallel, request.timeoutMs);
    SignalWatcher signals;
    QObject::connect(&signals, &SignalWatcher::terminationRequested, &discovery, [&](int number) {
        m_signal = number;
        discovery.stop();
    });
    const QList<Discovery::Found> found = discovery.run();
    for (const Discovery::Found &printer : found) {
        const QString reply = printer.reply.isEmpty()
                                  ? QStringLiteral("-")
                                  : QString::fromLatin1(TrafficMeter::escaped(printer.reply));
        if (request.json)
            printJson({{"address", printer.address.toString()},
                       {"port", printer.port},
                       {"reply", reply},
                       {"milliseconds", printer.milliseconds}});
        else
            out(QStringLiteral("%1  %2  %3  %4 ms")
                    .arg(printer.address.toString(), -15)
                    .arg(printer.port)
                    .arg(reply, -14)
                    .arg(printer.milliseconds));
    }
    std::fflush(stdout);
    if (m_signal != 0)
        return 128 + m_signal;
    return found.isEmpty() ? 1 : 0;
}

#pragma once

#include "DownloadSet.h"
#include "Target.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class SettingsStore;
struct CliRequest;

// One download as the command line asked for it, with everything looked
// up: the set and its files, the model, and the link of every target.
struct DownloadJob {
    DownloadSet set;
    qint16 printer = 0;
    bool passThrough = false;
    QList<Target> targets;
    bool takeModelSettings = false;
    bool json = false;
    QString dryRun;
    QString trace;

    // Nothing, with the reason in `error`, for a job that must not start:
    // a set or file that cannot be read, or a model and a target its rules
    // do not allow. The settings store is only read.
    static std::optional<DownloadJob> resolve(const CliRequest &request, SettingsStore &store,
                                              QString *error);

    QString modelName() const;
    // The trace file of one target: the given name, or with several targets
    // one file each, named after the target.
    QString traceFile(const Target &target) const;
    // The arguments that run the download to `target` alone, in a process
    // of its own that prints its result as JSON.
    QStringList workerArguments(const Target &target) const;
};

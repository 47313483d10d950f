#include "WorkerPool.h"

#include "DownloadJob.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QProcess>

#include <csignal>
#include <cstdio>
#include <unistd.h>

WorkerPool::WorkerPool(const DownloadJob &job, QObject *parent) : QObject(parent), m_job(job) {}

WorkerPool::~WorkerPool() = default;

QList<TargetResult> WorkerPool::run() {
    QEventLoop loop;
    int running = 0;
    for (const Target &target : m_job.targets) {
        auto *process = new QProcess(this);
        // Each worker in a process group of its own: Ctrl+C in the terminal
        // reaches this process alone, which passes it on once.
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        m_workers.append({target.name(), process, {}});
    }
    for (int i = 0; i < m_workers.size(); ++i) {
        QProcess *process = m_workers[i].process;
        connect(process, &QProcess::readyReadStandardError, this,
                [this, i] { relay(m_workers[i], false); });
        const auto ended = [&] {
            if (--running == 0)
                loop.quit();
        };
        connect(process, &QProcess::finished, &loop, ended);
        connect(process, &QProcess::errorOccurred, &loop, [ended](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                ended();
        });
        process->start(QCoreApplication::applicationFilePath(),
                       m_job.workerArguments(m_job.targets[i]));
        ++running;
    }
    if (running > 0)
        loop.exec();
    QList<TargetResult> results;
    for (Worker &worker : m_workers) {
        relay(worker, true);
        results << resultOf(worker);
    }
    return results;
}

void WorkerPool::forward(int signalNumber) {
    for (const Worker &worker : std::as_const(m_workers))
        if (worker.process->state() == QProcess::Running)
            ::kill(pid_t(worker.process->processId()), signalNumber);
}

void WorkerPool::relay(Worker &worker, bool all) {
    worker.partialLine += worker.process->readAllStandardError();
    qsizetype end = 0;
    while ((end = worker.partialLine.indexOf('\n')) >= 0 ||
           (all && !worker.partialLine.isEmpty())) {
        const QByteArray line = end >= 0 ? worker.partialLine.left(end) : worker.partialLine;
        worker.partialLine.remove(0, end >= 0 ? end + 1 : worker.partialLine.size());
        std::fputs((worker.name.toLocal8Bit() + ": " + line + '\n').constData(), stderr);
    }
}

TargetResult WorkerPool::resultOf(Worker &worker) const {
    const QList<QByteArray> lines = worker.process->readAllStandardOutput().trimmed().split('\n');
    const QJsonDocument document = QJsonDocument::fromJson(lines.last());
    if (document.isObject())
        return TargetResult::fromJson(document.object());
    // No result: the worker did not come to its end.
    TargetResult failed;
    failed.target = worker.name;
    failed.model = m_job.modelName();
    failed.status = worker.process->exitStatus() == QProcess::CrashExit
                        ? QStringLiteral("the download process crashed")
                        : QStringLiteral("the download process ended with status %1 and no result")
                              .arg(worker.process->exitCode());
    return failed;
}

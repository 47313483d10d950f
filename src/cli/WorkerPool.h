#pragma once

#include "TargetResult.h"

#include <QList>
#include <QObject>

class QProcess;
struct DownloadJob;

// Downloads to several targets at once, each in a process of its own (the
// engine waits in nested event loops, so one thread carries one download),
// each with its own link and result. Their status lines are relayed with
// the target's name in front; their JSON results are collected.
class WorkerPool : public QObject {
    Q_OBJECT
public:
    explicit WorkerPool(const DownloadJob &job, QObject *parent = nullptr);
    ~WorkerPool() override;

    QList<TargetResult> run();
    // Passes a termination signal on to every worker still running.
    void forward(int signalNumber);

private:
    struct Worker {
        QString name;
        QProcess *process = nullptr;
        QByteArray partialLine;
    };
    void relay(Worker &worker, bool all);
    TargetResult resultOf(Worker &worker) const;

    const DownloadJob &m_job;
    QList<Worker> m_workers;
};

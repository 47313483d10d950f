#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// How the download to one target ended, as the summary line and the JSON
// object tell it.
struct TargetResult {
    enum class Outcome { Complete, Failed, Unreachable, Cancelled };

    QString target;
    QString model;
    Outcome outcome = Outcome::Failed;
    QString status; // the final status text
    qint64 bytes = 0;
    int packets = 0;
    int replies = 0;
    double seconds = 0.0;

    QJsonObject toJson() const;
    static TargetResult fromJson(const QJsonObject &object);
    // "com1: complete, Q410, 1234 bytes, 12 packets, 12 replies, 3.20 s"
    QString summary() const;
    int exitStatus() const;

    // Of several targets: interrupted first, then a failed download, then
    // an unreachable target; 0 when every one is complete.
    static int exitStatus(const QList<TargetResult> &results);
};

#include "TargetResult.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
struct OutcomeName {
    TargetResult::Outcome outcome;
    const char *name;
    int exitStatus;
};
constexpr OutcomeName kOutcomes[] = {
    {TargetResult::Outcome::Complete, "complete", 0},
    {TargetResult::Outcome::Failed, "failed", 1},
    {TargetResult::Outcome::Unreachable, "unreachable", 3},
    {TargetResult::Outcome::Cancelled, "cancelled", 130},
};

const OutcomeName &named(TargetResult::Outcome outcome) {
    return *std::find_if(std::begin(kOutcomes), std::end(kOutcomes),
                         [&](const OutcomeName &n) { return n.outcome == outcome; });
}
} // namespace

QJsonObject TargetResult::toJson() const {
    return {{"target", target},
            {"model", model},
            {"result", QLatin1String(named(outcome).name)},
            {"status", status},
            {"bytes", bytes},
            {"packets", packets},
            {"replies", replies},
            {"seconds", std::round(seconds * 1000.0) / 1000.0}};
}

TargetResult TargetResult::fromJson(const QJsonObject &object) {
    TargetResult result;
    result.target = object.value("target").toString();
    result.model = object.value("model").toString();
    const QString name = object.value("result").toString();
    for (const OutcomeName &n : kOutcomes)
        if (name == QLatin1String(n.name))
            result.outcome = n.outcome;
    result.status = object.value("status").toString();
    result.bytes = object.value("bytes").toInteger();
    result.packets = object.value("packets").toInt();
    result.replies = object.value("replies").toInt();
    result.seconds = object.value("seconds").toDouble();
    return result;
}

QString TargetResult::summary() const {
    return QStringLiteral("%1: %2, %3, %4 bytes, %5 packets, %6 replies, %7 s")
        .arg(target, QLatin1String(named(outcome).name), model)
        .arg(bytes)
        .arg(packets)
        .arg(replies)
        .arg(seconds, 0, 'f', 2);
}

int TargetResult::exitStatus() const {
    return named(outcome).exitStatus;
}

int TargetResult::exitStatus(const QList<TargetResult> &results) {
    for (const int status : {130, 1, 3})
        if (std::any_of(results.begin(), results.end(),
                        [&](const TargetResult &r) { return r.exitStatus() == status; }))
            return status;
    return 0;
}

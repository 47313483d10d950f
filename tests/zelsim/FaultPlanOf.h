#pragma once

#include "FaultPlan.h"

#include <QString>
#include <QStringList>

#include <optional>

// The plan of the given fault options; one that does not parse is a
// mistake in the test itself.
inline zelsim::FaultPlan planOf(const QStringList &faultTexts) {
    zelsim::FaultPlan plan;
    for (const QString &faultText : faultTexts) {
        QString error;
        const std::optional<zelsim::Fault> fault = zelsim::Fault::parse(faultText, &error);
        if (!fault)
            qFatal("%s", qPrintable(error));
        plan.add(*fault);
    }
    return plan;
}

#pragma once

#include <QString>
#include <QStringList>

// The desktop's own system information program, found on the search path
// and started on its own (not a child of ours).
class SystemInfoTool {
public:
    // The programs looked for, in order of preference.
    static QStringList candidates();
    // The full path of the first one installed, or an empty text.
    static QString find();
    // False when it could not be started.
    static bool start(const QString &program);
};

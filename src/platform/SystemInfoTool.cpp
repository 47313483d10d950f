#include "SystemInfoTool.h"

#include <QProcess>
#include <QStandardPaths>

QStringList SystemInfoTool::candidates() {
#ifdef Q_OS_WIN
    return {QStringLiteral("msinfo32")};
#else
    // Hardware and system overviews of the common desktops; a process
    // monitor with a system tab as the last resort.
    return {QStringLiteral("hardinfo2"),   QStringLiteral("hardinfo"),
            QStringLiteral("kinfocenter"), QStringLiteral("cpu-x"),
            QStringLiteral("lshw-gtk"),    QStringLiteral("gnome-system-monitor")};
#endif
}

QString SystemInfoTool::find() {
    for (const QString &name : candidates()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool SystemInfoTool::start(const QString &program) {
    return !program.isEmpty() && QProcess::startDetached(program, {});
}

#include "WorkingFile.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace WorkingFile {

QString path() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/zeldl/Temp.txt");
}

bool write(const QByteArray &bytes, QString *error) {
    const QString target = path();
    QDir().mkpath(QFileInfo(target).absolutePath());
    // A new file renamed over the name: a link standing there is replaced,
    // never followed. (QSaveFile would write through the link.)
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = QString::number(int(file.error())) + QLatin1Char(' ') + file.errorString();
        return false;
    }
    file.close();
    std::error_code failure;
    std::filesystem::rename(std::filesystem::path(file.fileName().toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), failure);
    if (failure) {
        if (error)
            *error = QString::number(failure.value()) + QLatin1Char(' ') +
                     QString::fromStdString(failure.message());
        return false;
    }
    file.setAutoRemove(false);
    return true;
}

} // namespace WorkingFile

#include "WorkingFile.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

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
    // never followed.
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QString::number(int(file.error())) + QLatin1Char(' ') + file.errorString();
        return false;
    }
    return true;
}

} // namespace WorkingFile

#include "HelpTarget.h"

#include <QDir>
#include <QFileInfo>

namespace {
// From <prefix>/bin; not under share/doc, which minimal systems leave out
// (a link there points here).
const char *const kInstalledGuide = "../share/zeldl/guide/index.html";

QString existingFile(const QString &path) {
    const QFileInfo info(path);
    return info.isFile() ? QDir::cleanPath(info.absoluteFilePath()) : QString();
}
} // namespace

QString HelpTarget::find(const QString &programDir) {
    // A build folder has no installed guide; the source tree's stands in.
#ifdef ZELDL_SOURCE_GUIDE_DIR
    return find(programDir, QStringLiteral(ZELDL_SOURCE_GUIDE_DIR));
#else
    return find(programDir, QString());
#endif
}

QString HelpTarget::find(const QString &programDir, const QString &sourceGuideDir) {
    const QDir dir(programDir);
    for (const QString &candidate :
         {dir.filePath(QStringLiteral("ZELDL.chm")), dir.filePath(QLatin1String(kInstalledGuide)),
          sourceGuideDir.isEmpty() ? QString() : sourceGuideDir + QStringLiteral("/index.html")}) {
        if (candidate.isEmpty())
            continue;
        if (const QString found = existingFile(candidate); !found.isEmpty())
            return found;
    }
    return QString();
}

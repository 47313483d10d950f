#include "DownloadSetRules.h"

#include <QStringList>

namespace DownloadSetRules {

QString applicationFilter() {
    return QStringLiteral("FPC(*.fpc) CFU(*.cfu) ALL(*.all)|*.fpc;*.cfu;*.all|All Files (*.*)|*.*");
}

QString formatFilter() {
    return QStringLiteral("FMT(*.fmt) FAB(*.fab)|*.fmt;*.fab|TXT(*.txt)|*.txt|All Files (*.*)|*.*");
}

QString lookupFilter() {
    return QStringLiteral("TXT(*.txt) LU(*.lu) DAT(*.dat) PAC(*.pac) CSV(*.csv)|"
                          "*.txt;*.lu;*.dat;*.pac;*.csv|All Files (*.*)|*.*");
}

bool isAllFile(const QString &name) {
    return name.contains(QLatin1String(".all")) || name.contains(QLatin1String(".ALL"));
}

bool isFormatName(const QString &name) {
    return name.right(4).toUpper() == QLatin1String(".FMT");
}

FileKind kindOf(const QString &path) {
    const QString name = fileTitle(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return FileKind::Other;
    const QString ext = name.mid(dot + 1).toLower();
    static const QStringList apps{"fpc", "cfu", "all"};
    static const QStringList formats{"fmt", "fab"};
    static const QStringList lookups{"txt", "lu", "dat", "pac", "csv"};
    if (apps.contains(ext))
        return FileKind::Application;
    if (formats.contains(ext))
        return FileKind::Format;
    if (lookups.contains(ext))
        return FileKind::Lookup;
    return FileKind::Other;
}

} // namespace DownloadSetRules

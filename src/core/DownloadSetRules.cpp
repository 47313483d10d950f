#include "DownloadSetRules.h"

#include <filesystem>

#include <QFile>
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

bool isSendable(const QString &path) {
    std::error_code error;
    const auto status = std::filesystem::status(QFile::encodeName(path).constData(), error);
    return status.type() == std::filesystem::file_type::not_found ||
           status.type() == std::filesystem::file_type::regular;
}

QString notSendableText(const QString &path) {
    return fileTitle(path) +
           QStringLiteral(" is not a regular file (a pipe, a device or a folder) and cannot be "
                          "downloaded.");
}

} // namespace DownloadSetRules

#include "FileFilter.h"

namespace FileFilter {

QStringList toNameFilters(const QString &filter) {
    const QStringList fields = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        QStringList matched;
        for (const QString &raw : fields.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = raw.trimmed();
            if (pattern == QLatin1String("*.*")) {
                matched << QStringLiteral("*");
                continue;
            }
            matched << pattern;
            if (pattern.toUpper() != pattern)
                matched << pattern.toUpper();
        }
        matched.removeDuplicates();
        result << fields.at(i).trimmed() + QStringLiteral(" (") + matched.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

QStringList patterns(const QString &nameFilter) {
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !nameFilter.endsWith(QLatin1Char(')')))
        return {};
    return nameFilter.mid(open + 1, nameFilter.size() - open - 2)
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace FileFilter

#include "TextSplit.h"

QStringList splitText(const QString &text, const QString &delimiter, int limit,
                      Qt::CaseSensitivity sensitivity) {
    QStringList parts;
    qsizetype from = 0;
    if (!delimiter.isEmpty()) {
        for (qsizetype at = 0; limit < 0 || parts.size() < limit; from = at + delimiter.size()) {
            at = text.indexOf(delimiter, from, sensitivity);
            if (at < 0)
                break;
            parts << text.mid(from, at - from);
        }
    }
    parts << text.mid(from);
    return parts;
}

#pragma once

#include <QString>
#include <QStringList>

// Splits `text` at `delimiter`. A limit n of 0 or more splits at most n
// times, giving up to n + 1 parts, the last holding the unsplit rest; a
// negative limit splits at every delimiter. An empty delimiter does not
// split: the text comes back as the only part.
QStringList splitText(const QString &text, const QString &delimiter, int limit = -1,
                      Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

#pragma once

#include <QStringList>

// Turns a "description|patterns|description|patterns" filter into Qt's name
// filters. The description stays as written; the patterns follow in
// parentheses, separated by blanks, for the dialog to match with.
namespace FileFilter {

// "*.*" matches every file, also one without an extension; "*.fpc" also
// lists "*.FPC", since not every platform dialog matches without case.
QStringList toNameFilters(const QString &filter);

// The patterns of one name filter as the dialog matches them.
QStringList patterns(const QString &nameFilter);

} // namespace FileFilter

#pragma once

#include "FileTitle.h"

#include <QString>

// The rules of the download set that need no window.
namespace DownloadSetRules {

inline constexpr int kMaxLookups = 10;

// The three file-dialog filters.
QString applicationFilter();
QString formatFilter();
QString lookupFilter();

// An ".all" bundle carries its own lookups. Exact case: ".All" is not one.
bool isAllFile(const QString &name);

// A format named "*.fmt" (any case) is taken without a question.
bool isFormatName(const QString &name);

// What a dropped file is, by its extension (any case). ".txt" counts as a
// lookup table: a ".txt" format is chosen with "Add Fmt...".
enum class FileKind { Application, Format, Lookup, Other };
FileKind kindOf(const QString &path);

// Only a regular file (or a link to one) can be sent: opening a pipe or a
// device may block until something writes to it, and a folder has no bytes.
// A missing file passes here; opening it reports the error.
bool isSendable(const QString &path);
// Why a file cannot be sent, for the operator.
QString notSendableText(const QString &path);

} // namespace DownloadSetRules

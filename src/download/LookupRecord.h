#pragma once

#include <QByteArray>
#include <QString>

class EngineView;
struct SharedState;

// Recognising and building lookup records.
namespace LookupRecord {

// True when the file's first line starts with a record head ("{R0_" to
// "{R9_", "{RA_" to "{RK_"); also when the file cannot be read or is empty.
bool isRecordFile(const QString &path);

bool hasPipe(const QByteArray &text);

// "{R" id "_XXXX_" text "}", numbered by nextLookupNumber, which then
// advances. A count beyond 9 is reported and used all the same.
QByteArray make(const QByteArray &text, SharedState &state, EngineView &view);

} // namespace LookupRecord

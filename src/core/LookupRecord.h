#pragma once

#include <QByteArray>
#include <QString>

// Recognising and building lookup records.
namespace LookupRecord {

// True when the line starts with a record head ("{R0_" to "{R9_", "{RA_" to
// "{RK_"), blanks around the first four characters aside.
bool isRecordHead(const QByteArray &firstLine);

// True when the file's first line is a record head; also when the file
// cannot be read or is empty.
bool isRecordFile(const QString &path);

// "{R" id "_XXXX_" text "}". The id counts from "0" for a table with a "|"
// in it and from "B" otherwise. The download set's limit keeps the number
// below 10.
QByteArray make(const QByteArray &text, int number);

} // namespace LookupRecord

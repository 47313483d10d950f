#pragma once

#include <QByteArray>
#include <QString>

// The lookup working file "Temp.txt". It lives in the program's per-user
// cache folder, so that a user's own Temp.txt is never overwritten, and it is
// replaced whole rather than written through whatever stands at its name.
namespace WorkingFile {
QString path();
// Replaces the file with the bytes; on failure gives the error text.
bool write(const QByteArray &bytes, QString *error);
} // namespace WorkingFile

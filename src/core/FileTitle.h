#pragma once

#include <QString>

// A file's name without its folder, as shown to the operator. The folder
// ends at the last "/" or "\", so both kinds of path read the same.
QString fileTitle(const QString &path);

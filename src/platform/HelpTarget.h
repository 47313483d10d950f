#pragma once

#include <QString>

// What Help -> Contents opens. Headless: it only decides; the window opens
// the file with the desktop's handler.
class HelpTarget {
public:
    // For the program in `programDir`: "ZELDL.chm" beside it when it is
    // there, else the guide installed with it (<prefix>/share/zeldl/guide/
    // index.html, the program being in <prefix>/bin), else the guide of the
    // source tree it was built from; an empty text when none exists.
    static QString find(const QString &programDir);
    // The same with the source tree's guide folder given (tests use it).
    static QString find(const QString &programDir, const QString &sourceGuideDir);
};

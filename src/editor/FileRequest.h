#pragma once

#include <QString>

// What one of the three adding commands asks of the file dialog.
struct FileRequest {
    QString title;
    // Description and pattern list pairs, separated by "|":
    // "TXT(*.txt)|*.txt|All Files (*.*)|*.*".
    QString filter;
    int filterIndex = 1; // 1-based
    bool multiple = false;
};

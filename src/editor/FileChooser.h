#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// What one of the three adding commands asks of the file dialog.
struct FileRequest {
    QString title;
    // Description and pattern list pairs, separated by "|":
    // "TXT(*.txt)|*.txt|All Files (*.*)|*.*".
    QString filter;
    int filterIndex = 1; // 1-based
    bool multiple = false;
};

// The open-file dialog. The program uses Qt's; tests choose files through
// their own, as a user would.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen files' full paths in the order the dialog gives them;
    // nothing when the user cancels.
    virtual std::optional<QStringList> choose(QWidget *parent, const FileRequest &request) = 0;
};

#pragma once

#include "FileRequest.h"

#include <QStringList>

#include <optional>

class QWidget;

// The open-file dialog. The program uses Qt's; tests choose files through
// their own, as a user would.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen files' full paths in the order the dialog gives them;
    // nothing when the user cancels.
    virtual std::optional<QStringList> choose(QWidget *parent, const FileRequest &request) = 0;
};

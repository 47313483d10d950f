#pragma once

#include "FileChooser.h"

// Qt's open-file dialog. It starts in the folder of the last choice made in
// this session; the program's current folder never changes.
class QtFileChooser : public FileChooser {
public:
    std::optional<QStringList> choose(QWidget *parent, const FileRequest &request) override;

    QString lastFolder() const { return m_lastFolder; }

private:
    QString m_lastFolder;
};

#pragma once

#include "FileChooser.h"

#include <QList>

#include <deque>

// A file dialog whose user has decided in advance: each call takes the next
// answer (nothing = Cancel) and keeps the request it was shown.
class ScriptedChooser : public FileChooser {
public:
    std::deque<std::optional<QStringList>> answers;
    QList<FileRequest> requests;

    std::optional<QStringList> choose(QWidget *, const FileRequest &request) override {
        requests << request;
        if (answers.empty())
            return std::nullopt;
        // Taken apart by hand: GCC 12 at -O2 misreads a copied optional list
        // as possibly uninitialised.
        const bool cancelled = !answers.front().has_value();
        QStringList files = cancelled ? QStringList() : *answers.front();
        answers.pop_front();
        if (cancelled)
            return std::nullopt;
        return files;
    }
};

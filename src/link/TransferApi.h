#pragma once

#include <QString>

// The seams between the download command, the file transfers and the
// model sequences, so that none of them depends on the others' code.
class AppFileSender {
public:
    virtual ~AppFileSender() = default;
    virtual void sendApplication(const QString &path) = 0;
};

class ModelSequencer {
public:
    virtual ~ModelSequencer() = default;
    // Runs the chosen model's sequence up to and including the
    // application transfer.
    virtual void runSequence() = 0;
    // Puts the operator's instruction for the chosen model in the status line.
    virtual void showOperatorPrompt() = 0;
};

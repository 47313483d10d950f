#pragma once

#include "DownloadSet.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// A download set saved as a small INI file (".zelset"): the model, the
// files in the order they go out, the first lookup number and, optionally,
// the link. Paths are kept relative to the set file, so that a folder moves
// with its set. Reading never touches anything of the caller's: it hands
// back a new set or says why it cannot.
class DownloadSetFile {
public:
    // Raised whenever a version could not read what this one writes.
    static constexpr int kVersion = 1;
    static QString suffix() { return QStringLiteral("zelset"); }

    // The link as the settings store keeps it.
    struct Link {
        qint16 mode = 0; // 0 serial, 1 TCP/IP
        qint16 comPort = 1;
        QString lineSettings = QStringLiteral("9600,N,8,1");
        qint16 handshaking = 1; // 0 none, 1 Xon/Xoff, 2 RTS, 3 both
        QString ipAddress;
        qint32 ipPort = 9100;
        bool operator==(const Link &) const = default;
    };

    DownloadSet set;
    qint16 printer = 0; // position in the printer list
    bool passThrough = false;
    std::optional<Link> link;

    enum class Status { Read, Unreadable, Malformed, Newer };
    struct ReadResult;

    static ReadResult read(const QString &path);
    // Replaces the file with this set; false with the reason in `error`.
    bool write(const QString &path, QString *error) const;

    // The short model names ("Q410", "K72e", "T540", ...): the first word of
    // the list text. modelIndex takes either form, in any case; -1 when
    // there is no such model.
    static QString modelName(int printer);
    static int modelIndex(const QString &name);
};

struct DownloadSetFile::ReadResult {
    Status status = Status::Unreadable;
    // What to tell the user; for a set that was read, the files left out.
    QString message;
    // Files the set names that were not found (absolute paths); they are
    // left out of `content`.
    QStringList missing;
    // Only meaningful when the set was read.
    DownloadSetFile content;
    bool ok() const { return status == Status::Read; }
};

#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace zelsim {

// The readable log of --log: one line per event, stamped with the wall-clock
// time, written and flushed at once so a watcher sees it live.
class Transcript {
public:
    explicit Transcript(QIODevice *out) : m_out(out) {}

    void note(const QString &source, const QString &what, const QByteArray &bytes = {});

    // Printable ASCII as it is, everything else escaped (\r, \n, \xHH), cut
    // after `limit` bytes so a long lookup record stays one screen line.
    static QByteArray printable(const QByteArray &bytes, int limit = 160);

private:
    QIODevice *m_out;
};

} // namespace zelsim

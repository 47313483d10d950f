#pragma once

#include "TrafficRow.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;

// The trace of every transmission on the links: a ring of the newest rows
// and their bytes, bounded by a row count and a byte count. Recording only
// copies bytes and a small row, so the links can record every packet; a
// view polls the ring now and then. Rows are numbered from 0 and a number is
// never reused, so a reader can tell what is new and what has been dropped.
class TrafficRecorder {
public:
    using Direction = TrafficRow::Direction;

    static constexpr qsizetype kMaxRows = 100'000;
    static constexpr qint64 kMaxBytes = 32 * 1024 * 1024;

    explicit TrafficRecorder(qsizetype maxRows = kMaxRows, qint64 maxBytes = kMaxBytes);

    // Times count from here; a download is starting.
    void restartClock();

    // A small number for a link's name ("Com1", "127.0.0.1:9100").
    quint8 linkId(const QString &name);
    QString linkName(quint8 id) const;

    void recordSent(quint8 link, const QByteArray &bytes);
    // Blanks that follow each other on one link share a row.
    void recordKeepAlive(quint8 link, const QByteArray &bytes);
    // `result` is the reply wait's: 0 received, -1 timed out, -2 not open or
    // closed, -3 more than awaited.
    void recordReply(quint8 link, const QByteArray &bytes, qint16 result);
    void recordStray(quint8 link, const QByteArray &bytes);

    // How the trace judges a reply: by its 13th character, as the transfer does.
    static TrafficRow::Verdict verdictOf(qint16 result, const QByteArray &reply);

    quint64 firstNumber() const { return m_first; }
    quint64 endNumber() const { return m_end; }
    // Rows dropped to keep the bounds.
    quint64 dropped() const { return m_first; }
    // A row from firstNumber() up to endNumber().
    const TrafficRow &row(quint64 number) const { return m_rows[number % m_maxRows]; }
    QByteArray bytes(const TrafficRow &row) const;

    // The rows numbered from `from` up to `to` in one direction or both: one
    // text line a row, or their bytes as they went. False when writing failed.
    bool writeText(QIODevice &out, quint64 from, quint64 to,
                   std::optional<Direction> only = {}) const;
    bool writeRaw(QIODevice &out, quint64 from, quint64 to,
                  std::optional<Direction> only = {}) const;
    bool writeText(QIODevice &out, std::optional<Direction> only = {}) const {
        return writeText(out, m_first, m_end, only);
    }
    bool writeRaw(QIODevice &out, std::optional<Direction> only = {}) const {
        return writeRaw(out, m_first, m_end, only);
    }

private:
    void append(TrafficRow::Kind kind, quint8 link, TrafficRow::Verdict verdict,
                const QByteArray &bytes);
    // Copies into the byte ring and drops the rows whose bytes it overwrote.
    qint64 store(const QByteArray &bytes);
    template <class Write>
    bool write(QIODevice &out, quint64 from, quint64 to, std::optional<Direction> only,
               Write &&rowBytes) const;

    const qsizetype m_maxRows;
    const qint64 m_maxBytes;
    std::vector<TrafficRow> m_rows;
    // Allocated at the first byte; pages are only touched as they fill.
    std::unique_ptr<char[]> m_ring;
    quint64 m_byteEnd = 0;
    quint64 m_first = 0;
    quint64 m_end = 0;
    std::vector<QString> m_links;
    QElapsedTimer m_clock;
};

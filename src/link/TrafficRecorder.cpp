#include "TrafficRecorder.h"

#include "ReplyVerdict.h"
#include "TrafficText.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
// Files are written in pieces of about this size.
constexpr qsizetype kWriteChunk = 64 * 1024;
// Link names kept apart; a program meets a handful.
constexpr size_t kMaxLinks = 256;
} // namespace

TrafficRecorder::TrafficRecorder(qsizetype maxRows, qint64 maxBytes)
    : m_maxRows(std::max<qsizetype>(1, maxRows)), m_maxBytes(std::max<qint64>(1, maxBytes)) {
    // Room for every row at once: growing by doubling would hold the old
    // and the new table together at the peak. Pages are touched as rows come.
    m_rows.reserve(size_t(m_maxRows));
    m_clock.start();
}

void TrafficRecorder::restartClock() {
    m_clock.start();
}

quint8 TrafficRecorder::linkId(const QString &name) {
    const auto at = std::find(m_links.begin(), m_links.end(), name);
    if (at != m_links.end())
        return quint8(at - m_links.begin());
    if (m_links.size() == kMaxLinks) {
        m_links.back() = name;
    } else {
        m_links.push_back(name);
    }
    return quint8(m_links.size() - 1);
}

QString TrafficRecorder::linkName(quint8 id) const {
    return id < m_links.size() ? m_links[id] : QString();
}

void TrafficRecorder::recordSent(quint8 link, const QByteArray &bytes) {
    if (!bytes.isEmpty())
        append(TrafficRow::Kind::Packet, link, TrafficRow::Verdict::None, bytes);
}

void TrafficRecorder::recordKeepAlive(quint8 link, const QByteArray &bytes) {
    if (bytes.isEmpty())
        return;
    if (m_end > m_first) {
        TrafficRow &last = m_rows[(m_end - 1) % m_maxRows];
        // The last row's bytes end the byte stream, so the new ones extend them.
        if (last.kind == TrafficRow::Kind::KeepAlive && last.link == link &&
            last.kept == last.size && last.size + bytes.size() <= m_maxBytes) {
            last.size += bytes.size();
            last.kept += store(bytes);
            return;
        }
    }
    append(TrafficRow::Kind::KeepAlive, link, TrafficRow::Verdict::None, bytes);
}

void TrafficRecorder::recordReply(quint8 link, const QByteArray &bytes, qint16 result) {
    // A wait on a link that was not open took nothing in.
    if (bytes.isEmpty() && result == ReplyVerdict::NotOpen)
        return;
    append(TrafficRow::Kind::Reply, link, verdictOf(result, bytes), bytes);
}

void TrafficRecorder::recordStray(quint8 link, const QByteArray &bytes) {
    if (!bytes.isEmpty())
        append(TrafficRow::Kind::Stray, link, TrafficRow::Verdict::None, bytes);
}

TrafficRow::Verdict TrafficRecorder::verdictOf(qint16 result, const QByteArray &reply) {
    using Verdict = TrafficRow::Verdict;
    switch (result) {
    case ReplyVerdict::Received:
        if (!ReplyVerdict::isAccepted(reply))
            return Verdict::PacketError;
        return reply.contains("CP=4") ? Verdict::Cp4 : Verdict::Accepted;
    case ReplyVerdict::TooLong:
        return Verdict::TooLong;
    case ReplyVerdict::TimedOut:
        return reply.isEmpty() ? Verdict::TimedOut : Verdict::Short;
    default: // the link closed under the wait, part of a reply in
        return Verdict::Short;
    }
}

void TrafficRecorder::append(TrafficRow::Kind kind, quint8 link, TrafficRow::Verdict verdict,
                             const QByteArray &bytes) {
    TrafficRow row;
    row.timeUs = m_clock.nsecsElapsed() / 1000;
    row.offset = m_byteEnd;
    row.size = bytes.size();
    row.link = link;
    row.kind = kind;
    row.verdict = verdict;
    // The oldest row's slot takes the new one.
    if (m_end - m_first == quint64(m_maxRows))
        ++m_first;
    const size_t slot = size_t(m_end % quint64(m_maxRows));
    if (slot == m_rows.size())
        m_rows.push_back(row);
    else
        m_rows[slot] = row;
    ++m_end;
    m_rows[slot].kept = store(bytes);
}

qint64 TrafficRecorder::store(const QByteArray &bytes) {
    // A row larger than the ring keeps its head.
    const qint64 n = std::min<qint64>(bytes.size(), m_maxBytes);
    if (n == 0)
        return 0;
    if (!m_ring)
        m_ring.reset(new char[size_t(m_maxBytes)]);
    const qint64 at = qint64(m_byteEnd % quint64(m_maxBytes));
    const qint64 head = std::min(n, m_maxBytes - at);
    std::memcpy(m_ring.get() + at, bytes.constData(), size_t(head));
    std::memcpy(m_ring.get(), bytes.constData() + head, size_t(n - head));
    m_byteEnd += quint64(n);
    if (m_byteEnd > quint64(m_maxBytes)) {
        const quint64 oldest = m_byteEnd - quint64(m_maxBytes);
        while (m_first < m_end && row(m_first).offset < oldest)
            ++m_first;
    }
    return n;
}

QByteArray TrafficRecorder::bytes(const TrafficRow &row) const {
    if (row.kept == 0 || !m_ring)
        return {};
    QByteArray out(row.kept, Qt::Uninitialized);
    const qint64 at = qint64(row.offset % quint64(m_maxBytes));
    const qint64 head = std::min(row.kept, m_maxBytes - at);
    std::memcpy(out.data(), m_ring.get() + at, size_t(head));
    std::memcpy(out.data() + head, m_ring.get(), size_t(row.kept - head));
    return out;
}

template <class Write>
bool TrafficRecorder::write(QIODevice &out, quint64 from, quint64 to, std::optional<Direction> only,
                            Write &&rowBytes) const {
    QByteArray chunk;
    for (quint64 n = std::max(from, m_first); n < std::min(to, m_end); ++n) {
        const TrafficRow &r = row(n);
        if (only && r.direction() != *only)
            continue;
        chunk += rowBytes(r);
        if (chunk.size() >= kWriteChunk) {
            if (out.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return chunk.isEmpty() || out.write(chunk) == chunk.size();
}

bool TrafficRecorder::writeText(QIODevice &out, quint64 from, quint64 to,
                                std::optional<Direction> only) const {
    return write(out, from, to, only, [this](const TrafficRow &r) {
        return (TrafficText::line(r, bytes(r), linkName(r.link)) + QLatin1Char('\n')).toUtf8();
    });
}

bool TrafficRecorder::writeRaw(QIODevice &out, quint64 from, quint64 to,
                               std::optional<Direction> only) const {
    return write(out, from, to, only, [this](const TrafficRow &r) { return bytes(r); });
}

#include "TrafficModel.h"

#include "TrafficRecorder.h"
#include "TrafficText.h"

#include <QColor>
#include <QFontDatabase>

namespace {
// Written out as well: the colour is never the only cue.
QColor verdictColour(const TrafficRow &row) {
    using Verdict = TrafficRow::Verdict;
    if (row.kind == TrafficRow::Kind::Stray)
        return QColor(0x75, 0x75, 0x75);
    switch (row.verdict) {
    case Verdict::Accepted:
        return QColor(0x1b, 0x7f, 0x2a);
    case Verdict::PacketError:
    case Verdict::Cp4:
        return QColor(0xc6, 0x28, 0x28);
    case Verdict::TimedOut:
    case Verdict::Short:
        return QColor(0xb8, 0x5c, 0x00);
    case Verdict::TooLong:
        return QColor(0x6a, 0x1b, 0x9a);
    case Verdict::None:
        break;
    }
    return {};
}
} // namespace

TrafficModel::TrafficModel(const TrafficRecorder &recorder, QObject *parent)
    : QAbstractTableModel(parent), m_recorder(recorder),
      m_fixedFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {}

quint64 TrafficModel::poll() {
    const quint64 first = m_recorder.firstNumber(), end = m_recorder.endNumber();
    const quint64 came = end - m_end;
    if (first >= m_end || m_first == m_end) {
        // Nothing shown is kept: start afresh.
        if (first != m_first || end != m_end) {
            beginResetModel();
            m_first = first;
            m_end = end;
            endResetModel();
        }
    } else {
        if (first > m_first) {
            beginRemoveRows({}, 0, int(first - m_first) - 1);
            m_first = first;
            endRemoveRows();
        }
        if (m_recorder.row(m_end - 1).size != m_lastSize) {
            const int last = int(m_end - m_first) - 1;
            Q_EMIT dataChanged(index(last, 0), index(last, ColumnCount - 1));
        }
        if (end > m_end) {
            beginInsertRows({}, int(m_end - m_first), int(end - m_first) - 1);
            m_end = end;
            endInsertRows();
        }
    }
    m_lastSize = m_end > m_first ? m_recorder.row(m_end - 1).size : 0;
    if (m_recorder.dropped() != m_dropped) {
        m_dropped = m_recorder.dropped();
        Q_EMIT droppedChanged(m_dropped);
    }
    return came;
}

QString TrafficModel::line(int row) const {
    const TrafficRow &r = m_recorder.row(m_first + quint64(row));
    return TrafficText::line(r, m_recorder.bytes(r), m_recorder.linkName(r.link));
}

int TrafficModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_end - m_first);
}

int TrafficModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TrafficRow &row = m_recorder.row(m_first + quint64(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case TimeColumn:
            return TrafficText::time(row);
        case DirectionColumn:
            return TrafficText::direction(row);
        case LinkColumn:
            return m_recorder.linkName(row.link);
        case BytesColumn:
            return TrafficText::bytes(row, m_recorder.bytes(row), kShownBytes);
        case VerdictColumn:
            return TrafficText::verdict(row);
        }
        break;
    case Qt::ForegroundRole:
        if (index.column() == VerdictColumn) {
            const QColor colour = verdictColour(row);
            if (colour.isValid())
                return colour;
        }
        break;
    case Qt::FontRole:
        if (index.column() == BytesColumn)
            return m_fixedFont;
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == TimeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        break;
    }
    return {};
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const char *const titles[] = {"Time (ms)", "Direction", "Link", "Verdict", "Bytes"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

#include "StatusHistory.h"

StatusHistory::StatusHistory(QObject *parent)
    : QAbstractTableModel(parent), m_started(QDateTime::currentDateTime()) {
    m_clock.start();
}

void StatusHistory::record(const QString &text) {
    m_changed = true;
    if (!m_entries.empty() && m_entries.back().text == text) {
        ++m_entries.back().times;
        m_entries.back().ms = m_clock.elapsed();
        return;
    }
    if (m_entries.size() == size_t(kMaxEntries))
        m_entries.pop_front();
    m_entries.push_back({text, m_clock.elapsed()});
}

void StatusHistory::refresh() {
    if (!m_changed)
        return;
    m_changed = false;
    beginResetModel();
    m_shown = m_entries;
    endResetModel();
}

int StatusHistory::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_shown.size());
}

int StatusHistory::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatusHistory::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= m_shown.size())
        return {};
    const Entry &entry = m_shown[size_t(index.row())];
    if (role == Qt::DisplayRole && index.column() == TimeColumn)
        return m_started.addMSecs(entry.ms).toString(QStringLiteral("HH:mm:ss.zzz"));
    if ((role == Qt::DisplayRole || role == Qt::ToolTipRole) && index.column() == TextColumn) {
        // The blank status line is 59 blanks.
        QString text = entry.text.trimmed().isEmpty() ? QStringLiteral("(blank)") : entry.text;
        if (entry.times > 1)
            text += QStringLiteral("  (%1 times)").arg(entry.times);
        return text;
    }
    return {};
}

QVariant StatusHistory::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return section == TimeColumn ? QStringLiteral("Time") : QStringLiteral("Status");
}

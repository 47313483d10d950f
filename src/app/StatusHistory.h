#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

#include <deque>

// The last status texts with their times, newest last, for the Traffic
// pane. Recording is cheap (a status comes with every reply); the view
// sees what was recorded when refresh() runs, which the pane does a few
// times a second while it shows.
class StatusHistory : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, TextColumn, ColumnCount };
    static constexpr int kMaxEntries = 200;

    explicit StatusHistory(QObject *parent = nullptr);

    // A text written again at once counts on its entry instead of taking one.
    void record(const QString &text);
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Entry {
        QString text;
        qint64 ms = 0; // since m_started
        int times = 1;
    };

    std::deque<Entry> m_entries;
    std::deque<Entry> m_shown;
    bool m_changed = false;
    // Wall-clock time once, a monotonic clock after that: cheaper per text.
    QDateTime m_started;
    QElapsedTimer m_clock;
};

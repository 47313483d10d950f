#pragma once

#include <QAbstractTableModel>
#include <QFont>

class TrafficRecorder;

// The recorder's rows as a table. It never follows the recorder row by row:
// poll() takes in at once what was added and dropped since the last call,
// and a cell's text is made only when a view asks for it.
class TrafficModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        TimeColumn,
        DirectionColumn,
        LinkColumn,
        VerdictColumn,
        BytesColumn,
        ColumnCount
    };
    // Bytes a cell shows; a saved trace has them all.
    static constexpr qsizetype kShownBytes = 200;

    explicit TrafficModel(const TrafficRecorder &recorder, QObject *parent = nullptr);

    // Returns how many rows came since the last call.
    quint64 poll();

    // The recorder's numbers of the rows shown.
    quint64 firstNumber() const { return m_first; }
    quint64 endNumber() const { return m_end; }
    // The row as a saved trace's line.
    QString line(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Rows the recorder dropped to keep its bounds, since it began.
    void droppedChanged(quint64 dropped);

private:
    const TrafficRecorder &m_recorder;
    quint64 m_first = 0;
    quint64 m_end = 0;
    // The last row's size when polled: a run of keep-alive blanks grows.
    qint64 m_lastSize = 0;
    quint64 m_dropped = 0;
    QFont m_fixedFont;
};

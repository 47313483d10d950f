#pragma once

#include "TrafficRow.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class StatusHistory;
class TrafficModel;
class TrafficRecorder;

// The Traffic pane: every packet and reply of the links, newest last, with
// the verdict of each reply, a filter by direction, Copy and Save Trace;
// and the status history. It polls the recorder a few times a second while
// it shows, and not at all while it is hidden.
class TrafficPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPollMs = 100;
    // While rows flood in (a fast transfer) nobody reads them one by one:
    // the pane then takes them in less often, and costs the transfer less.
    static constexpr int kBusyPollMs = 250;
    static constexpr quint64 kBusyRows = 500;

    TrafficPane(const TrafficRecorder &recorder, StatusHistory &history, QWidget *parent = nullptr);

    // Where Save Trace writes; Qt's save dialog unless a test puts its own.
    void setSavePathChooser(std::function<QString()> chooser);

    void showHistory();
    // The selected rows, or every row shown when none is, as trace lines.
    void copyRows();
    // The rows shown, as a text file and, when asked, their bytes as a
    // second file beside it (the name with ".raw" for its suffix).
    void saveTrace();
    static QString rawPathFor(const QString &textPath);

    // Takes in what was recorded since the last poll.
    void poll();
    TrafficModel &model() { return *m_model; }

    QTabWidget *tabs = nullptr;
    QComboBox *directionList = nullptr;
    QLabel *droppedLabel = nullptr;
    QCheckBox *rawBytesBox = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *saveButton = nullptr;
    QTableView *trafficTable = nullptr;
    QTableView *historyTable = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *createTrafficTab();
    QWidget *createHistoryTab();
    void showDirection(int index);
    std::optional<TrafficRow::Direction> shownDirection() const;
    void showDropped(quint64 dropped);
    bool atNewest() const;
    bool write(const QString &path, bool raw, QString *error) const;

    const TrafficRecorder &m_recorder;
    StatusHistory &m_history;
    TrafficModel *m_model;
    QSortFilterProxyModel *m_shown;
    QTimer m_pollTimer;
    // The view was at its newest row when rows came: it stays there.
    bool m_follow = true;
    std::function<QString()> m_chooseSavePath;
};

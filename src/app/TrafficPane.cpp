#include "TrafficPane.h"

#include "ControlNames.h"
#include "StatusHistory.h"
#include "TrafficModel.h"
#include "TrafficRecorder.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
using ControlNames::named;
using ControlNames::tipped;

// Rows of one text line each, resized by nobody: a view of 100,000 rows
// must not measure them.
void setUpTable(QTableView *table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setWordWrap(false);
    table->setAlternatingRowColors(true);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setHighlightSections(false);
}
} // namespace

TrafficPane::TrafficPane(const TrafficRecorder &recorder, StatusHistory &history, QWidget *parent)
    : QWidget(parent), m_recorder(recorder), m_history(history),
      m_model(new TrafficModel(recorder, this)), m_shown(new QSortFilterProxyModel(this)) {
    setObjectName(QStringLiteral("trafficPane"));
    m_shown->setSourceModel(m_model);
    m_shown->setFilterKeyColumn(TrafficModel::DirectionColumn);

    tabs = named(new QTabWidget(this), "trafficTabs");
    tabs->addTab(createTrafficTab(), QStringLiteral("&Packets"));
    tabs->addTab(createHistoryTab(), QStringLiteral("S&tatus History"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);

    m_pollTimer.setInterval(kPollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &TrafficPane::poll);
    connect(m_model, &TrafficModel::droppedChanged, this, &TrafficPane::showDropped);
    connect(m_shown, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this] { m_follow = atNewest(); });
    connect(m_shown, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_follow = atNewest(); });
    const auto followNewest = [this] {
        if (m_follow)
            trafficTable->scrollToBottom();
    };
    connect(m_shown, &QAbstractItemModel::rowsInserted, this, followNewest);
    connect(m_shown, &QAbstractItemModel::modelReset, this, followNewest);
}

QWidget *TrafficPane::createTrafficTab() {
    auto *tab = new QWidget(this);
    auto *showLabel = named(new QLabel(QStringLiteral("Sho&w"), tab), "directionLabel");
    directionList = tipped(named(new QComboBox(tab), "directionList"),
                           QStringLiteral("Show the packets of one direction or of both"));
    directionList->addItems({QStringLiteral("Both directions"), QStringLiteral("To printer"),
                             QStringLiteral("From printer")});
    showLabel->setBuddy(directionList);
    droppedLabel = named(new QLabel(tab), "droppedLabel");
    // A width of its own: a count that changes on every poll must not lay
    // the row out again each time.
    droppedLabel->setFixedSize(
        droppedLabel->fontMetrics().horizontalAdvance("999,999,999,999 older rows dropped"),
        droppedLabel->fontMetrics().height());
    droppedLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Its count changes with every poll while rows drop: not read out each time.
    droppedLabel->setAccessibleName(QStringLiteral("Dropped rows"));
    droppedLabel->hide();
    rawBytesBox = tipped(named(new QCheckBox(QStringLiteral("With raw bytes"), tab), "rawBytesBox"),
                         QStringLiteral("Save Trace also writes the exact bytes, in a second file "
                                        "named with .raw"));
    copyButton = tipped(named(new QPushButton(QStringLiteral("Copy"), tab), "copyButton"),
                        QStringLiteral("Copy the selected rows, or all rows shown"));
    saveButton = tipped(named(new QPushButton(QStringLiteral("Save Trace..."), tab), "saveButton"),
                        QStringLiteral("Save the rows shown to a text file"));

    trafficTable = tipped(named(new QTableView(tab), "trafficTable"),
                          QStringLiteral("Every packet sent and every reply, newest last"));
    trafficTable->setModel(m_shown);
    setUpTable(trafficTable);
    const QFontMetrics metrics = trafficTable->fontMetrics();
    const int pad = 4 * metrics.averageCharWidth();
    QHeaderView *header = trafficTable->horizontalHeader();
    header->resizeSection(TrafficModel::TimeColumn, metrics.horizontalAdvance("00000.000") + pad);
    header->resizeSection(TrafficModel::DirectionColumn,
                          metrics.horizontalAdvance("from printer") + pad);
    header->resizeSection(TrafficModel::LinkColumn,
                          metrics.horizontalAdvance("127.0.0.1:9100") + pad);
    header->resizeSection(TrafficModel::VerdictColumn,
                          metrics.horizontalAdvance("more than expected") + pad);
    header->setStretchLastSection(true);

    auto *copyAction = new QAction(QStringLiteral("Copy"), trafficTable);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    trafficTable->addAction(copyAction);

    connect(directionList, &QComboBox::currentIndexChanged, this, &TrafficPane::showDirection);
    connect(copyButton, &QPushButton::clicked, this, &TrafficPane::copyRows);
    connect(copyAction, &QAction::triggered, this, &TrafficPane::copyRows);
    connect(saveButton, &QPushButton::clicked, this, &TrafficPane::saveTrace);

    auto *controls = new QHBoxLayout;
    controls->addWidget(showLabel);
    controls->addWidget(directionList);
    controls->addStretch(1);
    controls->addWidget(droppedLabel);
    controls->addWidget(rawBytesBox);
    controls->addWidget(copyButton);
    controls->addWidget(saveButton);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(controls);
    layout->addWidget(trafficTable);
    return tab;
}

QWidget *TrafficPane::createHistoryTab() {
    historyTable = tipped(named(new QTableView(this), "historyTable"),
                          QStringLiteral("The last status texts, newest last"));
    historyTable->setModel(&m_history);
    setUpTable(historyTable);
    historyTable->horizontalHeader()->setSectionResizeMode(StatusHistory::TimeColumn,
                                                           QHeaderView::ResizeToContents);
    historyTable->horizontalHeader()->setStretchLastSection(true);
    connect(&m_history, &QAbstractItemModel::modelReset, historyTable, &QTableView::scrollToBottom);
    return historyTable;
}

void TrafficPane::setSavePathChooser(std::function<QString()> chooser) {
    m_chooseSavePath = std::move(chooser);
}

void TrafficPane::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    poll();
    m_pollTimer.start();
}

void TrafficPane::hideEvent(QHideEvent *event) {
    m_pollTimer.stop();
    QWidget::hideEvent(event);
}

void TrafficPane::poll() {
    m_pollTimer.setInterval(m_model->poll() > kBusyRows ? kBusyPollMs : kPollMs);
    m_history.refresh();
}

void TrafficPane::showHistory() {
    tabs->setCurrentWidget(historyTable);
    poll();
    historyTable->setFocus();
}

bool TrafficPane::atNewest() const {
    const QScrollBar *bar = trafficTable->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

std::optional<TrafficRow::Direction> TrafficPane::shownDirection() const {
    switch (directionList->currentIndex()) {
    case 1:
        return TrafficRow::Direction::ToPrinter;
    case 2:
        return TrafficRow::Direction::FromPrinter;
    default:
        return {};
    }
}

void TrafficPane::showDirection(int index) {
    static const char *const patterns[] = {"", "^to printer$", "^from printer$"};
    m_shown->setFilterRegularExpression(QLatin1String(patterns[std::clamp(index, 0, 2)]));
}

void TrafficPane::showDropped(quint64 dropped) {
    droppedLabel->setText(QStringLiteral("%1 older rows dropped").arg(dropped));
    droppedLabel->setVisible(dropped > 0);
}

void TrafficPane::copyRows() {
    QModelIndexList rows = trafficTable->selectionModel()->selectedRows();
    if (rows.isEmpty())
        for (int row = 0; row < m_shown->rowCount(); ++row)
            rows << m_shown->index(row, 0);
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const QModelIndex &index : rows)
        text += m_model->line(m_shown->mapToSource(index).row()) + QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(text);
}

QString TrafficPane::rawPathFor(const QString &textPath) {
    const QFileInfo info(textPath);
    const QString suffix = info.suffix();
    const QString raw = (suffix.isEmpty() ? textPath : textPath.chopped(suffix.size() + 1)) +
                        QStringLiteral(".raw");
    return raw == textPath ? textPath + QStringLiteral(".raw") : raw;
}

void TrafficPane::saveTrace() {
    const QString path = m_chooseSavePath
                             ? m_chooseSavePath()
                             : QFileDialog::getSaveFileName(
                                   this, QStringLiteral("Save Trace"), QStringLiteral("trace.txt"),
                                   QStringLiteral("Text files (*.txt);;All Files (*.*) (*)"));
    if (path.isEmpty())
        return;
    // The file holds the rows the view shows, with the newest taken in now.
    poll();
    QString error;
    if (!write(path, false, &error) ||
        (rawBytesBox->isChecked() && !write(rawPathFor(path), true, &error)))
        QMessageBox::warning(this, QStringLiteral("Save Trace"), error);
}

bool TrafficPane::write(const QString &path, bool raw, QString *error) const {
    QSaveFile file(path);
    const quint64 from = m_model->firstNumber(), to = m_model->endNumber();
    const bool written =
        file.open(raw ? QIODevice::WriteOnly : QIODevice::WriteOnly | QIODevice::Text) &&
        (raw ? m_recorder.writeRaw(file, from, to, shownDirection())
             : m_recorder.writeText(file, from, to, shownDirection())) &&
        file.commit();
    if (!written)
        *error = QStringLiteral("The trace could not be saved as %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
    return written;
}

#include "RatePanel.h"
#include "StatusHistory.h"
#include "TrafficPane.h"
#include "TrafficRecorder.h"
#include "WindowRig.h"

#include <QClipboard>
#include <QTabWidget>
#include <QTableView>

// The Traffic pane, the status line and its history in the real window.
class tst_TrafficPane : public QObject, protected WindowRig {
    Q_OBJECT

    // What the pane's table shows, a line a row, its cells tab-separated.
    QString shown() {
        const QAbstractItemModel *view = m_window->trafficPane()->trafficTable->model();
        QString text;
        for (int row = 0; row < view->rowCount(); ++row)
            for (int column = 0; column < view->columnCount(); ++column)
                text += view->index(row, column).data().toString() +
                        (column + 1 < view->columnCount() ? '\t' : '\n');
        return text;
    }

private Q_SLOTS:
    void init() { resetWindowRig(); }
    void cleanup() { closeWindowRig(); }

    // Toggled by its shortcut, the pane comes back as it was left: the
    // stored value, the pane shown (D) and its action checked (A) at each
    // start, toggled once in each window; the window grows to make room for
    // the pane (+) and gives the room back (-).
    void paneStateSurvivesRestart() {
        QStringList starts;
        for (int start = 0; start < 3; ++start) {
            if (m_window)
                m_window->close();
            m_window.reset();
            m_state = std::make_unique<SharedState>();
            load();
            starts << m_store->read("TrafficPane", "-") + ' ' +
                          flags("DA", {find("trafficDock")->isVisible(),
                                       find<QAction>("trafficAction")->isChecked()});
            QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
            const int height = m_window->height();
            QTest::keySequence(m_window.get(), QKeySequence("Ctrl+T"));
            QCoreApplication::processEvents(); // the window makes room once laid out
            starts.last() += m_window->height() > height   ? '+'
                             : m_window->height() < height ? '-'
                                                           : '=';
        }
        QCOMPARE(starts.join(','), "- ..+,True DA-,False ..+");
    }

    // The label keeps the whole text for screen readers; a text too long
    // for the line has it as tool tip too. A click or Enter opens the
    // history, which has it whole.
    void statusLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("click");
        QTest::newRow("short, Enter") << "Download Complete" << false;
        QTest::newRow("long, clicked")
            << "Download app.fpc error: " + QString(400, 'x') + " Packet error" << true;
    }
    void statusLine() {
        QFETCH(QString, text);
        load();
        m_window->setStatus(text);
        m_window->setStatus(text);
        QLabel *line = find<QLabel>("statusLabel");
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        line->repaint(); // the tool tip follows what is painted
        QCOMPARE(line->text() + '|' + line->toolTip() + '|' + line->accessibleDescription(),
                 text + '|' + (text.size() > 20 ? text : "") + "|Status line");
        line->setFocus();
        QFETCH(bool, click);
        if (click)
            QTest::mouseClick(line, Qt::LeftButton);
        else
            QTest::keyClick(line, Qt::Key_Return);
        TrafficPane *pane = m_window->trafficPane();
        QVERIFY(pane->isVisible() && pane->tabs->currentWidget() == pane->historyTable &&
                m_window->focusWidget() == pane->historyTable);
        QCOMPARE(pane->tabs->geometry(), pane->rect()); // the tabs fill the pane
        const StatusHistory &history = m_window->statusHistory();
        QCOMPARE(history.index(history.rowCount() - 1, StatusHistory::TextColumn).data(),
                 text + "  (2 times)");
    }

    void rate_data() {
        QTest::addColumn<QList<qint64>>("sentLengthMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("starting") << QList<qint64>{0, 1000, 0} << "0 of 1,000 bytes";
        QTest::newRow("a quarter in 5 s")
            << QList<qint64>{500'000, 2'000'000, 5000}
            << "500,000 of 2,000,000 bytes, 100,000 bytes/s, 0:15 left";
        QTest::newRow("hours left") << QList<qint64>{1000, 10'000'000, 1000}
                                    << "1,000 of 10,000,000 bytes, 1,000 bytes/s, 2:46:39 left";
    }
    void rate() {
        QFETCH(QList<qint64>, sentLengthMs);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTEST(RatePanel::describe(sentLengthMs[0], sentLengthMs[1], sentLengthMs[2]), "text");
    }

    // Save Trace writes the rows the view shows, and their bytes when asked;
    // past the bound the oldest rows go and the pane says how many.
    void saveTrace_data() {
        QTest::addColumn<int>("direction");   // the filter's entry
        QTest::addColumn<int>("packets");     // "{Xn}" sent before the other rows
        QTest::addColumn<int>("dropped");     // rows: the oldest of those packets
        QTest::addColumn<QByteArray>("tail"); // the raw file after the packets
        const QByteArray can(1, '\x18');
        QTest::newRow("both") << 0 << 1 << 0 << "LATE  {SR}{CP=4,P=001,?}" + can;
        QTest::newRow("from the printer") << 2 << 0 << 0 << QByteArray("LATE{CP=4,P=001,?}");
        QTest::newRow("past the bound") << 1 << 100'000 << 5 << "  {SR}" + can;
    }
    void saveTrace() {
        QFETCH(int, direction);
        QFETCH(int, packets);
        QFETCH(int, dropped);
        load();
        TrafficRecorder &trace = m_window->trafficRecorder();
        const quint8 link = trace.linkId("Com1");
        QByteArray expected; // in the raw file, before the tail
        for (int n = 0; n < packets; ++n) {
            const QByteArray packet = "{X" + QByteArray::number(n) + '}';
            trace.recordSent(link, packet);
            expected += n < dropped ? QByteArray() : packet;
        }
        // The pane takes in rows as they come, and drops the oldest.
        find<QAction>("trafficAction")->trigger();
        TrafficPane *pane = m_window->trafficPane();
        trace.recordStray(link, "LATE");
        trace.recordKeepAlive(link, " ");
        pane->poll();
        trace.recordKeepAlive(link, " ");
        trace.recordSent(link, "{SR}");
        trace.recordReply(link, "{CP=4,P=001,?}", 0);
        trace.recordSent(link, QByteArray(1, '\x18'));
        pane->directionList->setCurrentIndex(direction);
        pane->rawBytesBox->setChecked(true);
        pane->setSavePathChooser([this] { return m_dir->filePath("trace.txt"); });
        pane->saveButton->click();

        QFile text(m_dir->filePath("trace.txt")), raw(m_dir->filePath("trace.raw"));
        QVERIFY(text.open(QIODevice::ReadOnly) && raw.open(QIODevice::ReadOnly));
        const QString saved = QString::fromUtf8(text.readAll());
        QCOMPARE(saved, shown());
        QFETCH(QByteArray, tail);
        QCOMPARE(raw.readAll(), expected + tail);
        QCOMPARE(pane->droppedLabel->isVisible() ? pane->droppedLabel->text() : "",
                 dropped ? QString::number(dropped) + " older rows dropped" : "");
        QVERIFY(saved.contains("\tfrom printer\tCom1\tpacket error\t{CP=4,P=001,?}\n") ==
                (direction != 1));
        pane->copyButton->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), saved);
        // A selection is copied in the table's order, whatever the order it was made in.
        for (const int row : {1, 0})
            pane->trafficTable->selectionModel()->select(pane->trafficTable->model()->index(row, 0),
                                                         QItemSelectionModel::Select |
                                                             QItemSelectionModel::Rows);
        pane->copyButton->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), saved.section('\n', 0, 1) + '\n');
    }
};

QTEST_MAIN(tst_TrafficPane)
#include "tst_traffic_pane.moc"

#include "RatePanel.h"
#include "StatusHistory.h"
#include "TrafficPane.h"
#include "TrafficRecorder.h"
#include "WindowRig.h"

#include <QClipboard>
#include <QDockWidget>
#include <QTabWidget>
#include <QTableView>

// The Traffic pane, the status line and its history in the real window.
class tst_TrafficPane : public QObject, protected WindowRig {
    Q_OBJECT

    QDockWidget *dock() { return find<QDockWidget>("trafficDock"); }
    void restart() {
        m_window->close();
        m_window.reset();
        m_state = std::make_unique<SharedState>();
        load();
    }
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

    // Toggled by its shortcut, the pane comes back as it was left.
    void paneStateSurvivesRestart_data() {
        QTest::addColumn<int>("toggles");
        QTest::addColumn<QString>("stored");
        QTest::newRow("shown") << 1 << "True";
        QTest::newRow("hidden again") << 2 << "False";
    }
    void paneStateSurvivesRestart() {
        QFETCH(int, toggles);
        load();
        QVERIFY(!dock()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        for (int i = 0; i < toggles; ++i)
            QTest::keySequence(m_window.get(), QKeySequence("Ctrl+T"));
        restart();
        QTEST(m_store->read("TrafficPane", "-"), "stored");
        QCOMPARE(dock()->isVisible(), toggles == 1);
        QCOMPARE(find<QAction>("trafficAction")->isChecked(), toggles == 1);
    }

    // The label keeps the whole text for screen readers; a text too long
    // for the line has it as tool tip too. A click or Enter opens the
    // history, which has it whole.
    void statusLine_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("how");
        const QString longText = "Download app.fpc error: " + QString(400, 'x') + " Packet error";
        QTest::newRow("short, clicked") << "Download Complete"
                                        << "click";
        QTest::newRow("long, clicked") << longText << "click";
        QTest::newRow("long, Enter") << longText << "key";
    }
    void statusLine() {
        QFETCH(QString, text);
        QFETCH(QString, how);
        load();
        m_window->setStatus(text);
        m_window->setStatus(text);
        QLabel *line = find<QLabel>("statusLabel");
        QVERIFY(line->fontMetrics().horizontalAdvance(text) > m_window->width() ||
                text.size() < 20);
        QCOMPARE(line->text(), text);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        line->repaint(); // the tool tip follows what is painted
        QCOMPARE(line->toolTip(), text.size() < 20 ? QString() : text);
        QCOMPARE(line->accessibleDescription(), "Status line");
        if (how == "click") {
            QTest::mouseClick(line, Qt::LeftButton);
        } else {
            line->setFocus();
            QTest::keyClick(line, Qt::Key_Return);
        }
        QVERIFY(dock()->isVisible());
        TrafficPane *pane = m_window->trafficPane();
        QCOMPARE(pane->tabs->currentWidget(), pane->historyTable);
        const StatusHistory &history = m_window->statusHistory();
        QCOMPARE(history.index(history.rowCount() - 1, StatusHistory::TextColumn).data(),
                 text + "  (2 times)");
    }

    void rate_data() {
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<QString>("text");
        QTest::newRow("starting") << 0 << 1000 << 0 << "0 of 1,000 bytes";
        QTest::newRow("a quarter in 5 s")
            << 500'000 << 2'000'000 << 5000
            << "500,000 of 2,000,000 bytes, 100,000 bytes/s, 0:15 left";
        QTest::newRow("hours left") << 1000 << 10'000'000 << 1000
                                    << "1,000 of 10,000,000 bytes, 1,000 bytes/s, 2:46:39 left";
    }
    void rate() {
        QFETCH(int, sent);
        QFETCH(int, length);
        QFETCH(int, elapsedMs);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTEST(RatePanel::describe(sent, length, elapsedMs), "text");
    }

    // Save Trace writes the rows the view shows, and their bytes when asked;
    // past the bound the oldest rows go and the pane says how many.
    void saveTrace_data() {
        QTest::addColumn<int>("direction");   // the filter's entry
        QTest::addColumn<int>("packets");     // "{Xn}" sent before the other rows
        QTest::addColumn<int>("kept");        // of those, in the raw file
        QTest::addColumn<QByteArray>("tail"); // the rest of the raw file
        QTest::addColumn<QString>("dropped");
        const QByteArray can(1, '\x18');
        QTest::newRow("both") << 0 << 1 << 1 << "LATE  {SR}{CP=4,P=001,?}" + can << QString();
        QTest::newRow("from the printer")
            << 2 << 1 << 0 << QByteArray("LATE{CP=4,P=001,?}") << QString();
        QTest::newRow("past the bound")
            << 1 << 100'000 << 99'995 << "  {SR}" + can << "5 older rows dropped";
    }
    void saveTrace() {
        QFETCH(int, direction);
        QFETCH(int, packets);
        load();
        TrafficRecorder &trace = m_window->trafficRecorder();
        const quint8 link = trace.linkId("Com1");
        for (int n = 0; n < packets; ++n)
            trace.recordSent(link, "{X" + QByteArray::number(n) + '}');
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
        const QString path = m_dir->filePath("trace.txt");
        pane->setSavePathChooser([&] { return path; });
        pane->saveButton->click();

        QFile text(path), raw(m_dir->filePath("trace.raw"));
        QVERIFY(text.open(QIODevice::ReadOnly) && raw.open(QIODevice::ReadOnly));
        const QString saved = QString::fromUtf8(text.readAll());
        QCOMPARE(saved, shown());
        QFETCH(int, kept);
        QByteArray expected;
        for (int n = packets - kept; n < packets; ++n)
            expected += "{X" + QByteArray::number(n) + '}';
        QFETCH(QByteArray, tail);
        QCOMPARE(raw.readAll(), expected + tail);
        QTEST(pane->droppedLabel->isVisible() ? pane->droppedLabel->text() : QString(), "dropped");
        QVERIFY(saved.contains("\tpacket error\t{CP=4,P=001,?}\n") == (direction != 1));
        pane->copyButton->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), saved);
    }
};

QTEST_MAIN(tst_TrafficPane)
#include "tst_traffic_pane.moc"

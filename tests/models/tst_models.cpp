#include "LinkRig.h"
#include "ModelSequences.h"

#include <QTest>

#include <memory>

namespace {
const QString kApp = QStringLiteral("/labels/app.fpc");
} // namespace

// The Q410 and Q412 sequences around the application transfer, the Q412's
// status request, and the operator's instruction per model.
class tst_Models : public QObject, protected LinkRig {
    Q_OBJECT
    std::unique_ptr<FakeAppSender> m_sender;
    std::unique_ptr<ModelSequences> m_models;

    void chooseApp() {
        m_state->appPath = kApp;
        m_state->appTitle = QStringLiteral("app.fpc");
    }

private Q_SLOTS:
    void initTestCase() { startRig(); }

    void init() {
        resetLinks();
        m_sender = std::make_unique<FakeAppSender>(m_log);
        m_models =
            std::make_unique<ModelSequences>(*m_state, *m_store, *m_view, *m_serial, *m_sender);
    }

    void nothingToSend_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("appSent");
        for (const int printer : {0, 1, 2, 4}) {
            for (const int mode : {0, 1}) {
                for (const bool sent : {false, true})
                    QTest::addRow("printer %d, mode %d, sent before %d", printer, mode, sent)
                        << printer << mode << sent;
            }
        }
    }
    void nothingToSend() {
        QFETCH(int, printer);
        QFETCH(int, mode);
        QFETCH(bool, appSent);
        m_state->printer = qint16(printer);
        m_state->mode = qint16(mode);
        m_state->appSent = appSent;
        m_models->runSequence();
        QCOMPARE(m_log, WireLog{});
        QCOMPARE(m_view->statuses, QStringList{});
        QCOMPARE(m_state->appSent, appSent);
        QVERIFY(!m_state->abortRequested);
    }

    void flagsAlreadySet_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("abort");
        QTest::addColumn<QStringList>("texts");
        for (const int printer : {0, 4}) {
            QTest::addRow("printer %d, abort", printer)
                << printer << true << QStringList{"Cancelled"};
            QTest::addRow("printer %d, download error", printer)
                << printer << false << QStringList{};
        }
    }
    void flagsAlreadySet() {
        QFETCH(int, printer);
        QFETCH(bool, abort);
        QFETCH(QStringList, texts);
        chooseApp();
        m_state->printer = qint16(printer);
        m_state->abortRequested = abort;
        m_state->downloadError = !abort;
        m_models->runSequence();
        QCOMPARE(m_log, WireLog{});
        QCOMPARE(m_view->statuses, texts);
        QVERIFY(!m_state->abortRequested);
        QCOMPARE(m_state->downloadError, !abort);
        QVERIFY(!m_state->appSent);
    }

    void q410SendsTheApplication_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("what");
        QTest::addColumn<QStringList>("texts");
        for (const int printer : {0, 1, 2}) {
            QTest::addRow("printer %d", printer)
                << printer << 0 << QStringList{"Downloading app.fpc"};
            QTest::addRow("printer %d, Cancel during the transfer", printer)
                << printer << int(OperatorCancel)
                << QStringList{"Downloading app.fpc", "Please Wait...", "Cancelled"};
        }
    }
    void q410SendsTheApplication() {
        QFETCH(int, printer);
        QFETCH(int, what);
        QFETCH(QStringList, texts);
        chooseApp();
        m_state->printer = qint16(printer);
        m_sender->onSend = during(what);
        m_models->runSequence();
        // No status request before a Q410's application.
        QCOMPARE(m_log, WireLog{"APP:" + kApp.toUtf8()});
        QCOMPARE(m_view->statuses, texts);
        QVERIFY(m_state->appSent);
        QVERIFY(!m_state->abortRequested);
    }

    void bundleNeedsNoPath() {
        m_state->isBundle = true;
        m_models->sendQ410();
        QCOMPARE(m_log, WireLog{"APP:"});
        QCOMPARE(m_view->statuses, QStringList{"Downloading "});
        QVERIFY(m_state->appSent);
    }

    void q412StatusRequest_data() {
        QTest::addColumn<Scripted>("reply");
        QTest::addColumn<int>("what");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("transferred");
        QTest::addColumn<bool>("error");
        const QString dl = QStringLiteral("Downloading app.fpc");
        const QString cancelled = QStringLiteral("app.fpc Download Cancelled");
        for (const char good : {'0', ' ', '='}) {
            const QString r = QString::fromLatin1(reply14(good));
            QTest::addRow("13th is '%c'", good)
                << Scripted{0, reply14(good)} << 0
                << QStringList{r + " - Success", r + " - Success", dl} << true << false;
        }
        for (const char bad : {'1', '?', 'O'}) {
            const QString r = QString::fromLatin1(reply14(bad));
            QTest::addRow("13th is '%c'", bad)
                << Scripted{0, reply14(bad)} << 0
                << QStringList{r + " - Success", r + " - Packet error"} << false << true;
        }
        QTest::newRow("longer reply, good 13th")
            << Scripted{0, "ACKNOWLEDGED0X??"} << 0
            << QStringList{"ACKNOWLEDGED0X?? - Success", "ACKNOWLEDGED0X?? - Success", dl} << true
            << false;
        QTest::newRow("timed out")
            << Scripted{-1, "PART"} << 0
            << QStringList{"PART - Success", "PART - Download error response timeout"} << false
            << true;
        QTest::newRow("port not open")
            << Scripted{-2, {}} << 0 << QStringList{" - Success", " - Comm port not open"} << false
            << true;
        QTest::newRow("other result")
            << Scripted{4, reply14('?')} << 0 << QStringList{"ACKNOWLEDGED?X - Success", dl} << true
            << false;
        QTest::newRow("Cancel during the wait, timed out")
            << Scripted{-1, {}} << int(OperatorCancel)
            << QStringList{"Please Wait...", " - Success", cancelled, "Cancelled"} << false
            << false;
        QTest::newRow("Cancel during the wait, port not open")
            << Scripted{-2, {}} << int(OperatorCancel)
            << QStringList{"Please Wait...", " - Success", cancelled, "Cancelled"} << false
            << false;
        const QString r = QString::fromLatin1(reply14('0'));
        QTest::newRow("Cancel during the wait, accepted")
            << Scripted{0, reply14('0')} << int(OperatorCancel)
            << QStringList{"Please Wait...", r + " - Success", r + " - Success", "Cancelled"}
            << false << false;
    }
    void q412StatusRequest() {
        QFETCH(Scripted, reply);
        QFETCH(int, what);
        QFETCH(QStringList, texts);
        QFETCH(bool, transferred);
        QFETCH(bool, error);
        chooseApp();
        m_state->printer = Printers::Q412;
        reply.during = during(what);
        m_serial->script << reply;
        m_models->runSequence();
        WireLog wire{"SEND:{SR}", "WAIT"};
        if (transferred)
            wire << "APP:" + kApp.toUtf8();
        QCOMPARE(m_log, wire);
        QCOMPARE(m_serial->counts, QList<qint32>{14});
        QCOMPARE(m_serial->timeouts, QList<float>{30.0f});
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_state->downloadError, error);
        QVERIFY(!m_state->abortRequested);
        // Set before the request on the plain path, whatever its answer.
        QVERIFY(m_state->appSent);
    }

    void q412WaitsAtLeastThirtySeconds_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<float>("wait");
        QTest::newRow("5") << "5" << 30.0f;
        QTest::newRow("30") << "30" << 30.0f;
        QTest::newRow("45.5") << "45.5" << 45.5f;
    }
    void q412WaitsAtLeastThirtySeconds() {
        QFETCH(QString, stored);
        QFETCH(float, wait);
        SettingsStore().write(QStringLiteral("Timeout"), stored);
        chooseApp();
        m_serial->script << Scripted{0, reply14('0')};
        m_models->sendQ412();
        QCOMPARE(m_serial->timeouts, QList<float>{wait});
        QCOMPARE(m_state->replyTimeout, wait);
    }

    void q412OverTcpSendsNoStatusRequest() {
        chooseApp();
        m_state->printer = Printers::Q412;
        m_state->mode = 1;
        m_models->runSequence();
        QCOMPARE(m_log, WireLog{"APP:" + kApp.toUtf8()});
        QCOMPARE(m_view->statuses, QStringList{"Downloading app.fpc"});
        QVERIFY(m_state->appSent);
    }

    void q412Bundle_data() {
        QTest::addColumn<Scripted>("reply");
        QTest::addColumn<bool>("appSent");
        QTest::newRow("accepted") << Scripted{0, reply14('0')} << true;
        // Only the transfer step marks a bundle as sent.
        QTest::newRow("rejected") << Scripted{0, reply14('1')} << false;
        QTest::newRow("timed out") << Scripted{-1, {}} << false;
    }
    void q412Bundle() {
        QFETCH(Scripted, reply);
        QFETCH(bool, appSent);
        m_state->isBundle = true;
        m_state->appPath = QStringLiteral("/labels/set.all");
        m_serial->script << reply;
        m_models->sendQ412();
        QCOMPARE(m_state->appSent, appSent);
        QCOMPARE(m_log.contains("APP:/labels/set.all"), appSent);
    }

    void showOperatorPrompt_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("passThru");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("texts");
        const QStringList dataTransfer{"Set Printer to Data Transfer/Receive"};
        for (const int printer : {0, 1, 2}) {
            for (const int mode : {0, 1})
                QTest::addRow("printer %d, mode %d", printer, mode)
                    << printer << false << mode << dataTransfer;
        }
        QTest::newRow("K72e") << 3 << false << 0 << QStringList{"Set Keypad to Loading Script"};
        QTest::newRow("K72e over TCP")
            << 3 << false << 1 << QStringList{"Set Keypad to Loading Script"};
        QTest::newRow("K72e pass-through, serial")
            << 3 << true << 0 << QStringList{"Set Printer to Print Mode Ready"};
        QTest::newRow("K72e pass-through, TCP")
            << 3 << true << 1 << QStringList{"Set Printer to N Print Mode Ready"};
        QTest::newRow("K72e pass-through, other mode") << 3 << true << 2 << QStringList{};
        QTest::newRow("Q412") << 4 << false << 0 << QStringList{"Set Printer to Online"};
        QTest::newRow("T540") << 5 << false << 1 << QStringList{"Set Printer to Ready"};
        QTest::newRow("R300") << 6 << false << 1 << QStringList{"Set Printer to Print Mode Ready"};
        QTest::newRow("T523 empties the line") << 7 << false << 0 << QStringList{""};
        QTest::newRow("past the list") << 8 << false << 0 << QStringList{""};
        QTest::newRow("nothing chosen") << -1 << false << 0 << QStringList{""};
    }
    void showOperatorPrompt() {
        QFETCH(int, printer);
        QFETCH(bool, passThru);
        QFETCH(int, mode);
        QFETCH(QStringList, texts);
        m_state->printer = qint16(printer);
        m_state->mode = qint16(mode);
        m_view->passThru = passThru;
        m_models->showOperatorPrompt();
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_log, WireLog{});
    }
};

QTEST_GUILESS_MAIN(tst_Models)
#include "tst_models.moc"

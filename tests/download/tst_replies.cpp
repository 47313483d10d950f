#include "TransferRig.h"

#include <QTest>

namespace {
const QString kTitle = SettingsStore::applicationName();
} // namespace

// How the printer's replies to an application transfer are judged on both
// links, the texts shown along the way and at the end, and the format file.
class tst_Replies : public QObject, protected TransferRig {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { startRig(); }
    void init() { resetTransfer(); }
    void cleanup() { QVERIFY(!TestFiles::anyOpenUnder(m_dir->path())); }

    void serialReplies_data() {
        QTest::addColumn<qint16>("result");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("what");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("nextSent");
        QTest::addColumn<bool>("error");
        QTest::addColumn<bool>("abort");

        const QString r = QString::fromLatin1(kGood);
        const QString cancelled = QStringLiteral("app.fpc Download Cancelled");
        const QString dl = QStringLiteral("Downloading app.fpc");
        QTest::newRow("13th is 0")
            << qint16(0) << kGood << 0 << QStringList{dl, r + " - Success", r + " - Success"}
            << true << false << false;
        QTest::newRow("13th is blank")
            << qint16(0) << QByteArray("ACKNOWLEDGED X") << 0
            << QStringList{dl, "ACKNOWLEDGED X - Success", "ACKNOWLEDGED X - Success"} << true
            << false << false;
        QTest::newRow("13th is =")
            << qint16(0) << QByteArray("ACKNOWLEDGED=X") << 0
            << QStringList{dl, "ACKNOWLEDGED=X - Success", "ACKNOWLEDGED=X - Success"} << true
            << false << false;
        for (const char bad : {'?', '1', 'o'}) {
            const QByteArray reply = reply14(bad);
            const QString t = QString::fromLatin1(reply);
            QTest::addRow("13th is %c", bad)
                << qint16(0) << reply << 0
                << QStringList{dl,          t + " - Success", t + " Packet error",
                               "Cancelled", "Cancelled",      t + " - Packet error"}
                << false << false << true;
        }
        QTest::newRow("longer reply, good 13th")
            << qint16(0) << QByteArray("ACKNOWLEDGED0XYZ?") << 0
            << QStringList{dl, "ACKNOWLEDGED0XYZ? - Success", "ACKNOWLEDGED0XYZ? - Success"} << true
            << false << false;
        QTest::newRow("longer reply, bad 13th") << qint16(0) << QByteArray("ACKNOWLEDGED?0000") << 0
                                                << QStringList{dl,
                                                               "ACKNOWLEDGED?0000 - Success",
                                                               "ACKNOWLEDGED?0000 Packet error",
                                                               "Cancelled",
                                                               "Cancelled",
                                                               "ACKNOWLEDGED?0000 - Packet error"}
                                                << false << false << true;
        QTest::newRow("received, Cancel during the wait")
            << qint16(0) << kGood << int(OperatorCancel)
            << QStringList{dl,          "Please Wait...", r + " - Success", r + " - Success",
                           "Cancelled", "Cancelled",      cancelled}
            << false << false << true;
        QTest::newRow("received, break during the wait")
            << qint16(0) << kGood << int(SerialBreak)
            << QStringList{dl,          "Check Printer...", r + " - Success",  r + " - Success",
                           "Cancelled", "Cancelled",        "Check Printer..."}
            << false << false << true;
        QTest::newRow("timed out") << qint16(-1) << QByteArray("PARTIAL") << 0
                                   << QStringList{dl, "PARTIAL - Download error response timeout"}
                                   << false << true << false;
        QTest::newRow("timed out, Cancel during the wait")
            << qint16(-1) << QByteArray() << int(OperatorCancel)
            << QStringList{dl, "Please Wait...", cancelled, "Cancelled", "Cancelled"} << false
            << false << true;
        QTest::newRow("timed out, break during the wait")
            << qint16(-1) << QByteArray() << int(SerialBreak)
            << QStringList{dl, "Check Printer...", "Check Printer...", "Cancelled", "Cancelled"}
            << false << false << true;
        QTest::newRow("port not open")
            << qint16(-2) << QByteArray() << 0 << QStringList{dl, " Comm port not open"} << false
            << true << false;
        QTest::newRow("port not open after Cancel")
            << qint16(-2) << QByteArray() << int(OperatorCancel)
            << QStringList{dl, "Please Wait...", cancelled, "Cancelled", "Cancelled"} << false
            << false << true;
        QTest::newRow("any other result")
            << qint16(5) << kGood << 0 << QStringList{dl} << true << false << false;
    }

    void serialReplies() {
        QFETCH(qint16, result);
        QFETCH(QByteArray, reply);
        QFETCH(int, what);
        QFETCH(QStringList, texts);
        QFETCH(bool, nextSent);
        QFETCH(bool, error);
        QFETCH(bool, abort);

        m_serial->script << Scripted{result, reply, during(what)};
        m_transfer->sendApplication(appFile("{X,1}\r\nNEXT"));
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_log.contains("SEND:NEXT"), nextSent);
        QCOMPARE(m_state->downloadError, error);
        QCOMPARE(m_state->abortRequested, abort);
        QCOMPARE(m_serial->counts, QList<qint32>{14});
        QCOMPARE(m_serial->clears, 1);
        QCOMPARE(m_view->progressValue, 0);
        QCOMPARE(m_view->captions, QStringList({kTitle + " - app.fpc", kTitle}));
        // Only a packet error leaves a failure text for the end of the download.
        QCOMPARE(m_state->transferFailure.isEmpty(), !texts.last().endsWith(" - Packet error"));
        if (!m_state->transferFailure.isEmpty())
            QCOMPARE(m_state->transferFailure, texts.last());
    }

    void socketReplies_data() {
        QTest::addColumn<QList<Scripted>>("script");
        QTest::addColumn<int>("what");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<float>>("timeouts");
        QTest::addColumn<bool>("nextSent");
        QTest::addColumn<bool>("error");
        QTest::addColumn<bool>("abort");

        const QString r = QString::fromLatin1(kGood);
        const QString dl = QStringLiteral("Downloading app.fpc");
        const QList<float> one{30.0f};
        const QList<float> two{30.0f, 13.0f};
        QTest::newRow("13th is 0")
            << QList<Scripted>{{0, kGood}} << 0
            << QStringList{dl, "receive " + r + " - Success 0", r + " - Success"} << one << true
            << false << false;
        QTest::newRow("13th is =")
            << QList<Scripted>{{0, "ACKNOWLEDGED=X"}} << 0
            << QStringList{dl, "receive ACKNOWLEDGED=X - Success 0", "ACKNOWLEDGED=X - Success"}
            << one << true << false << false;
        QTest::newRow("13th is blank")
            << QList<Scripted>{{0, "ACKNOWLEDGED X"}} << 0
            << QStringList{dl, "receive ACKNOWLEDGED X - Success 0", "ACKNOWLEDGED X - Success",
                           "ACKNOWLEDGED XSPACE - Success 0"}
            << one << true << false << false;
        QTest::newRow("13th is ?") << QList<Scripted>{{0, "ACKNOWLEDGED?X"}} << 0
                                   << QStringList{dl,
                                                  "receive ACKNOWLEDGED?X - Success 0",
                                                  "ACKNOWLEDGED?X Packet error 0",
                                                  "Cancelled",
                                                  "Cancelled",
                                                  "ACKNOWLEDGED?X - Packet error"}
                                   << one << false << false << true;
        QTest::newRow("timed out, late reply in the second wait")
            << QList<Scripted>{{-1, "ACK"}, {0, "LATE REPLY  0X"}} << 0
            << QStringList{dl, "LATE REPLY  0X - Success 0"} << two << true << false << false;
        QTest::newRow("timed out twice")
            << QList<Scripted>{{-1, {}}, {-1, "PART"}} << 0 << QStringList{dl, "PART - Success -1"}
            << two << true << false << false;
        QTest::newRow("timed out, Cancel during the wait")
            << QList<Scripted>{{-1, {}}} << int(OperatorCancel)
            << QStringList{dl, "Please Wait...", "app.fpc Download Cancelled -1", "Cancelled",
                           "Cancelled"}
            << one << false << false << true;
        QTest::newRow("not connected")
            << QList<Scripted>{{-2, {}}} << 0 << QStringList{dl, " Socket not open -2"} << one
            << false << true << false;
        QTest::newRow("not connected after Cancel")
            << QList<Scripted>{{-2, {}}} << int(OperatorCancel)
            << QStringList{dl, "Please Wait...", "app.fpc Download Cancelled -2", "Cancelled",
                           "Cancelled"}
            << one << false << false << true;
        // Not judged at all, whatever its 13th character.
        QTest::newRow("more than 14") << QList<Scripted>{{-3, "ACKNOWLEDGED?XYZ"}} << 0
                                      << QStringList{dl} << one << true << false << false;
    }

    void socketReplies() {
        QFETCH(QList<Scripted>, script);
        QFETCH(int, what);
        QFETCH(QStringList, texts);
        QFETCH(QList<float>, timeouts);
        QFETCH(bool, nextSent);
        QFETCH(bool, error);
        QFETCH(bool, abort);

        m_state->mode = 1;
        script.first().during = during(what);
        m_socket->script = script;
        m_transfer->sendApplication(appFile("{X,1}\r\nNEXT"));
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_socket->timeouts, timeouts);
        QCOMPARE(m_log.contains("SOCK:NEXT"), nextSent);
        QCOMPARE(m_state->downloadError, error);
        QCOMPARE(m_state->abortRequested, abort);
        // The keep-alive runs during the first wait only, and is off after.
        QCOMPARE(m_socket->keepAliveDuringWaits.first(), true);
        QVERIFY(!m_socket->keepAlive);
        QVERIFY(!m_socket->sendTimeouts.isEmpty());
        for (const float t : std::as_const(m_socket->sendTimeouts))
            QCOMPARE(t, 10.0f);
        QCOMPARE(m_serial->timeouts.size(), 0);
        // The serial receive buffer is emptied in TCP/IP mode too.
        QCOMPARE(m_serial->clears, 1);
    }

    void finalReply_data() {
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QString>("failure");
        QTest::newRow("CP=0") << QList<QByteArray>{"ST CP=0     0X"} << "Download Finished" << true
                              << "";
        QTest::newRow("CP=0 anywhere")
            << QList<QByteArray>{"CP=0ACKNOWLE0X"} << "Download Finished" << true << "";
        QTest::newRow("lower-case cp=0 is not finished")
            << QList<QByteArray>{"ST cp=0     0X"} << "ST cp=0     0X - Success" << false << "";
        QTest::newRow("CP=4") << QList<QByteArray>{"ST CP=4     0X"} << "Unsuccessful Transmission"
                              << false << "Unsuccessful Transmission";
        QTest::newRow("only the last reply counts")
            << QList<QByteArray>{"ST CP=0     0X", "ST          0X"} << "ST          0X - Success"
            << false << "";
    }
    void finalReply() {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(QString, last);
        QFETCH(bool, done);
        QFETCH(QString, failure);
        QByteArray file;
        for (qsizetype i = 0; i < replies.size(); ++i) {
            m_serial->script << Scripted{0, replies.at(i)};
            file += "{X," + QByteArray::number(i) + "}\r\n";
        }
        m_transfer->sendApplication(appFile(file));
        QCOMPARE(m_view->current, last);
        QCOMPARE(m_state->downloadDone, done);
        QCOMPARE(m_state->transferFailure, failure);
        QVERIFY(!m_state->abortRequested);
    }

    void flagsAlreadySet_data() {
        QTest::addColumn<bool>("abort");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("progress");
        QTest::newRow("abort") << true
                               << QStringList{"Downloading app.fpc", "Cancelled", "Cancelled",
                                              "app.fpc Download Cancelled"}
                               << QList<int>{0, 100, 0, 0};
        QTest::newRow("download error")
            << false << QStringList{"Downloading app.fpc"} << QList<int>{0, 100, 0, 0};
    }
    void flagsAlreadySet() {
        QFETCH(bool, abort);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, progress);
        m_state->abortRequested = abort;
        m_state->downloadError = !abort;
        m_transfer->sendApplication(appFile("{X,1}"));
        QCOMPARE(m_log, WireLog{});
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_view->progress, progress);
    }

    void replyTimeoutFromStore_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<float>("wait");
        for (const int mode : {0, 1}) {
            const char *link = mode == 0 ? "serial" : "TCP";
            QTest::addRow("%s, nothing stored", link) << mode << QString() << 30.0f;
            QTest::addRow("%s, 10", link) << mode << "10" << 30.0f;
            QTest::addRow("%s, 29.5", link) << mode << "29.5" << 30.0f;
            QTest::addRow("%s, 45", link) << mode << "45" << 45.0f;
            QTest::addRow("%s, not a number", link) << mode << "soon" << 30.0f;
        }
    }
    void replyTimeoutFromStore() {
        QFETCH(int, mode);
        QFETCH(QString, stored);
        QFETCH(float, wait);
        if (!stored.isNull())
            SettingsStore().write(QStringLiteral("Timeout"), stored);
        m_state->mode = qint16(mode);
        m_serial->script << Scripted{0, kGood} << Scripted{0, kGood};
        m_socket->script = m_serial->script;
        const QString path = appFile("{X,1}\r\n{Y,2}");
        // Reloaded before every wait: a change between two packets counts.
        m_serial->onSend = [](const QByteArray &line) {
            if (line == "{Y,2}")
                SettingsStore().write(QStringLiteral("Timeout"), QStringLiteral("40"));
        };
        m_transfer->sendApplication(path);
        if (mode == 1) {
            // The socket fake has no send hook; check the first wait only.
            QCOMPARE(m_socket->timeouts.first(), wait);
        } else {
            QCOMPARE(m_serial->timeouts, (QList<float>{wait, 40.0f}));
        }
    }

    void statusNamesTheFileAfterItsFolder() {
        const QString path = appFile("");
        m_state->appPath = QStringLiteral("C:\\Labels\\shown.fpc");
        m_state->appTitle = QStringLiteral("shown.fpc");
        m_transfer->sendApplication(path);
        QCOMPARE(m_view->statuses, QStringList{"Downloading shown.fpc"});
    }

    void otherModeSendsNothing() {
        m_state->mode = 2;
        m_transfer->sendApplication(appFile("{X,1}\r\n{Y,2}"));
        QCOMPARE(m_log, WireLog{});
        QVERIFY(!m_state->abortRequested);
        QVERIFY(!m_state->downloadError);
    }

    void missingAppFile() {
        m_state->appPath = m_dir->filePath(QStringLiteral("missing.fpc"));
        m_state->appTitle = QStringLiteral("missing.fpc");
        m_transfer->sendApplication(m_state->appPath);
        QCOMPARE(m_view->statuses,
                 QStringList({"Downloading missing.fpc",
                              "File download error 5 No such file or directory"}));
        QVERIFY(m_state->downloadError);
        QCOMPARE(m_view->captions.last(), kTitle);
        // The bar is left as it was: shown, its value untouched.
        QCOMPARE(m_view->progress, QList<int>{});
        QCOMPARE(m_log, WireLog{});
    }

    void formatFileGoesOutAsRead_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("serial") << 0;
        QTest::newRow("TCP") << 1;
    }
    void formatFileGoesOutAsRead() {
        QFETCH(int, mode);
        const QString path = m_dir->filePath(QStringLiteral("labels.fmt"));
        QVERIFY(TestFiles::write(path, "{F,1|\r\n{X,1}\r\nA|\nB}\r"));
        m_state->mode = qint16(mode);
        m_state->formatPath = path;
        m_state->formatTitle = QStringLiteral("labels.fmt");
        // A stop request from before is dropped; the sequence chose to go on.
        m_state->abortRequested = true;
        m_state->breakSeen = true;
        QList<bool> doneWhileSending;
        m_serial->onSend = [&](const QByteArray &) {
            doneWhileSending << m_state->downloadDone;
        };
        m_transfer->sendFormat();
        const char *p = mode == 0 ? "SEND:" : "SOCK:";
        QCOMPARE(m_log, WireLog({p + QByteArray("{F,1|"), p + QByteArray("{X,1}"),
                                 p + QByteArray("A|"), p + QByteArray("B}")}));
        QVERIFY(!m_state->abortRequested);
        QVERIFY(!m_state->breakSeen);
        QVERIFY(!m_state->downloadDone);
        if (mode == 0)
            QCOMPARE(doneWhileSending, QList<bool>(4, true));
        else
            QCOMPARE(m_socket->sendTimeouts, QList<float>(4, 10.0f));
        QCOMPARE(m_view->progress, (QList<int>{0, 1, 25, 50, 60, 70, 100, 0}));
        QCOMPARE(m_view->captions, QStringList({kTitle + " - labels.fmt", kTitle}));
        QCOMPARE(m_view->statuses, QStringList{});
    }

    void formatFileStops_data() {
        QTest::addColumn<int>("what");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("link failed") << 0 << QStringList{" Comm port not open"};
        QTest::newRow("Cancel") << int(OperatorCancel)
                                << QStringList{"Please Wait...", "Cancelled"};
    }
    void formatFileStops() {
        QFETCH(int, what);
        QFETCH(QStringList, texts);
        const QString path = m_dir->filePath(QStringLiteral("labels.fmt"));
        QVERIFY(TestFiles::write(path, "ONE\r\nTWO\r\nTHREE"));
        m_state->formatPath = path;
        m_state->formatTitle = QStringLiteral("labels.fmt");
        const std::function<void()> cancel = during(what);
        m_serial->onSend = [&](const QByteArray &) {
            if (cancel) {
                cancel();
            } else {
                // What the serial link does on a closed port.
                m_view->setStatus(QStringLiteral(" Comm port not open"));
                m_state->downloadError = true;
            }
        };
        m_transfer->sendFormat();
        QCOMPARE(m_log, WireLog{"SEND:ONE"});
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_view->captions.last(), kTitle);
    }

    void formatFileMissingOrNotChosen() {
        m_state->formatPath = m_dir->filePath(QStringLiteral("missing.fmt"));
        m_transfer->sendFormat();
        QCOMPARE(m_view->captions, QStringList{});
        QVERIFY(!m_state->downloadError);

        m_state->formatTitle = QStringLiteral("missing.fmt");
        m_transfer->sendFormat();
        QCOMPARE(m_view->statuses, QStringList{"FormatDownload Error 5 No such file or directory"});
        QVERIFY(m_state->downloadError);
        QCOMPARE(m_view->captions, QStringList({kTitle + " - missing.fmt", kTitle}));
        QCOMPARE(m_log, WireLog{});
    }
};

QTEST_GUILESS_MAIN(tst_Replies)
#include "tst_replies.moc"

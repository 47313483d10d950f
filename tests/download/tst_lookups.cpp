#include "LookupRecord.h"
#include "LookupStage.h"
#include "TransferRig.h"
#include "WorkingFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
// Stands for a table that is listed but not on disk.
const QByteArray kMissing = "<missing>";
} // namespace

// Lookup records: recognising and building them, the working file, their
// wire bytes and replies, and the stage that sends the listed tables.
class tst_Lookups : public QObject, protected TransferRig {
    Q_OBJECT
    QTemporaryDir m_cwd;
    std::unique_ptr<LookupStage> m_stage;

    // Lists the tables as the window's lookup list would.
    void list(const QList<std::pair<QString, QByteArray>> &tables) {
        for (const auto &[name, bytes] : tables) {
            m_view->names << name;
            m_view->paths << (bytes == kMissing ? m_dir->filePath(name) : makeFile(name, bytes));
        }
    }

private Q_SLOTS:
    void initTestCase() {
        startRig();
        // A Temp.txt of the user's own, where the program is started.
        QVERIFY(QDir::setCurrent(m_cwd.path()));
        QVERIFY(TestFiles::write(QStringLiteral("Temp.txt"), "mine"));
    }

    void init() {
        resetTransfer();
        QFile::remove(WorkingFile::path());
        m_state->appTitle = QStringLiteral("app.fpc");
        m_stage = std::make_unique<LookupStage>(*m_state, *m_view, *m_serial, *m_transfer);
    }

    void cleanup() {
        QVERIFY(!TestFiles::anyOpenUnder(m_dir->path()));
        QVERIFY(!TestFiles::anyOpenUnder(m_cache.path()));
        QCOMPARE(TestFiles::read(m_cwd.filePath(QStringLiteral("Temp.txt"))), QByteArray("mine"));
    }

    void isLookupRecordFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("record");
        for (const char id : QByteArray("0123456789ABCDEFGHIJK"))
            QTest::addRow("head %c", id) << QByteArray("{R") + id + "_XXXX_A|\r\n}" << true;
        QTest::newRow("head alone") << QByteArray("{R2_") << true;
        QTest::newRow("head, CR ended") << QByteArray("{R2_XXXX_\rA|") << true;
        QTest::newRow("L is past the heads") << QByteArray("{RL_XXXX_A|}") << false;
        QTest::newRow(": is past the heads") << QByteArray("{R:_XXXX_A|}") << false;
        QTest::newRow("lower-case id") << QByteArray("{Rb_XXXX_A|}") << false;
        QTest::newRow("lower-case r") << QByteArray("{r2_XXXX_A|}") << false;
        QTest::newRow("no underscore") << QByteArray("{R2-XXXX_A|}") << false;
        QTest::newRow("three characters") << QByteArray("{R2") << false;
        QTest::newRow("leading blank") << QByteArray(" {R2_XXXX_A|}") << false;
        QTest::newRow("head on the second line") << QByteArray("A|\r\n{R2_XXXX_}") << false;
        QTest::newRow("plain table") << QByteArray("A\r\nB|") << false;
        QTest::newRow("empty file") << QByteArray("") << true;
        QTest::newRow("missing file") << kMissing << true;
    }
    void isLookupRecordFile() {
        QFETCH(QByteArray, file);
        QFETCH(bool, record);
        const QString path = file == kMissing ? m_dir->filePath(QStringLiteral("absent.txt"))
                                              : makeFile(QStringLiteral("probe.txt"), file);
        QCOMPARE(LookupRecord::isRecordFile(path), record);
    }

    void makeLookupRecord_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("0, bar") << 0 << QByteArray("A|\r\n") << QByteArray("{R0_XXXX_A|\r\n}")
                                << QStringList{};
        QTest::newRow("9, bar") << 9 << QByteArray("A|") << QByteArray("{R9_XXXX_A|}")
                                << QStringList{};
        QTest::newRow("0, no bar")
            << 0 << QByteArray("A\r\n") << QByteArray("{RB_XXXX_A\r\n}") << QStringList{};
        QTest::newRow("9, no bar")
            << 9 << QByteArray("A") << QByteArray("{RK_XXXX_A}") << QStringList{};
        QTest::newRow("bar anywhere")
            << 4 << QByteArray("A|B") << QByteArray("{R4_XXXX_A|B}") << QStringList{};
        QTest::newRow("empty text")
            << 1 << QByteArray() << QByteArray("{RC_XXXX_}") << QStringList{};
        QTest::newRow("below 0 starts at 0")
            << -3 << QByteArray("A|") << QByteArray("{R0_XXXX_A|}") << QStringList{};
        QTest::newRow("10, bar") << 10 << QByteArray("A|") << QByteArray("{R:_XXXX_A|}")
                                 << QStringList{"Invalid lookup count: 10"};
        QTest::newRow("11, no bar") << 11 << QByteArray("A") << QByteArray("{RM_XXXX_A}")
                                    << QStringList{"Invalid lookup count: 11"};
    }
    void makeLookupRecord() {
        QFETCH(int, count);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, record);
        QFETCH(QStringList, texts);
        m_state->nextLookupNumber = qint16(count);
        QCOMPARE(LookupRecord::make(text, *m_state, *m_view), record);
        QCOMPARE(int(m_state->nextLookupNumber), std::max(count, 0) + 1);
        QCOMPARE(m_view->statuses, texts);
    }

    void lookupOnTheWire_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("temp");
        QTest::addColumn<QByteArrayList>("wire");
        QTest::addColumn<int>("countAfter");
        const QList<std::tuple<const char *, QByteArray, int, QByteArray, QByteArrayList, int>>
            rows = {
                {"two lines A and B|",
                 "A\r\nB|",
                 0,
                 "{R0_XXXX_A|\r\nB|\r\n}\r\n",
                 {"SEND:{R0_XXXX_A|\r\n", "SEND:B|\r\n", "SEND:}", "WAIT"},
                 1},
                {"CR, LF, no final end",
                 "A\rB\nC",
                 7,
                 "{R7_XXXX_A|\r\nB|\r\nC|\r\n}\r\n",
                 {"SEND:{R7_XXXX_A|\r\n", "SEND:B|\r\n", "SEND:C|\r\n", "SEND:}", "WAIT"},
                 8},
                {"empty line gets a bar",
                 "A\r\n\r\nB",
                 2,
                 "{R2_XXXX_A|\r\n|\r\nB|\r\n}\r\n",
                 {"SEND:{R2_XXXX_A|\r\n", "SEND:|\r\n", "SEND:B|\r\n", "SEND:}", "WAIT"},
                 3},
                {"record file sent as it is",
                 "{R2_XXXX_a|\r\nb|\r\n}",
                 5,
                 "{R2_XXXX_a|\r\nb|\r\n}\r\n",
                 {"SEND:{R2_XXXX_a|\r\n", "SEND:b|\r\n", "SEND:}", "WAIT"},
                 5},
                {"multi-line record file",
                 "{RB_XXXX_\r\nx\r\n}",
                 0,
                 "{RB_XXXX_\r\nx\r\n}\r\n",
                 {"SEND:{RB_XXXX_\r\n", "SEND:x\r\n", "SEND:}", "WAIT"},
                 0},
                // No skip list for lookups: "{RA" is acknowledged here.
                {"{RA record is acknowledged",
                 "{RA_XXXX_x}\r\n",
                 0,
                 "{RA_XXXX_x}\r\n\r\n",
                 {"SEND:{RA_XXXX_x}", "WAIT", "SEND:"},
                 0},
                {"two records in one file",
                 "{R1_XXXX_a|}\n{R2_XXXX_b|}",
                 0,
                 "{R1_XXXX_a|}\n{R2_XXXX_b|}\r\n",
                 {"SEND:{R1_XXXX_a|}", "WAIT", "SEND:{R2_XXXX_b|}", "WAIT"},
                 0},
            };
        for (const auto &[name, file, count, temp, wire, after] : rows) {
            QTest::addRow("%s / serial", name) << 0 << file << count << temp << wire << after;
            QTest::addRow("%s / TCP", name)
                << 1 << file << count << temp << onSocket(wire) << after;
        }
    }
    void lookupOnTheWire() {
        QFETCH(int, mode);
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        QFETCH(QByteArray, temp);
        QFETCH(QByteArrayList, wire);
        QFETCH(int, countAfter);
        m_state->mode = qint16(mode);
        m_state->nextLookupNumber = qint16(count);
        m_state->currentLookupName = QStringLiteral("codes.txt");
        answerEveryPacket(2);
        QCOMPARE(m_stage->sendLookup(makeFile(QStringLiteral("codes.txt"), file)), kGood);
        QCOMPARE(m_log, wire);
        QCOMPARE(TestFiles::read(WorkingFile::path()), temp);
        QCOMPARE(int(m_state->nextLookupNumber), countAfter);
        QCOMPARE(m_view->current, QStringLiteral("Download Finished"));
        QVERIFY(!m_state->downloadError);
        QVERIFY(!m_state->downloadDone);
        QCOMPARE(m_view->progressValue, 0);
        QVERIFY(!m_view->progressVisible);
        const QString title = SettingsStore::applicationName();
        QCOMPARE(m_view->captions, QStringList({title + " - codes.txt", title}));
    }

    void lookupReplies_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<Scripted>>("script");
        QTest::addColumn<int>("what");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QByteArray>("returned");
        QTest::addColumn<bool>("error");
        QTest::addColumn<bool>("abort");
        const QString r = QString::fromLatin1(kGood);
        const QString cancelled = QStringLiteral("app.fpc Download Cancelled");
        QTest::newRow("serial, accepted")
            << 0 << QList<Scripted>{{0, kGood}} << 0
            << QStringList{r + " - Success", "Download Finished"} << kGood << false << false;
        QTest::newRow("serial, packet error")
            << 0 << QList<Scripted>{{0, "ACKNOWLEDGED?X"}} << 0
            << QStringList{"ACKNOWLEDGED?X - Success", "ACKNOWLEDGED?X Packet error", "Cancelled"}
            << QByteArray("ACKNOWLEDGED?X") << false << true;
        QTest::newRow("serial, timed out") << 0 << QList<Scripted>{{-1, "PART"}} << 0
                                           << QStringList{"PART - Download error response timeout"}
                                           << QByteArray("PART") << true << false;
        QTest::newRow("serial, timed out after Cancel")
            << 0 << QList<Scripted>{{-1, {}}} << int(OperatorCancel)
            << QStringList{"Please Wait...", cancelled, "Cancelled"} << QByteArray() << false
            << true;
        QTest::newRow("serial, timed out after a break")
            << 0 << QList<Scripted>{{-1, {}}} << int(SerialBreak)
            << QStringList{"Check Printer...", "Check Printer...", "Cancelled"} << QByteArray()
            << false << true;
        QTest::newRow("serial, accepted after Cancel")
            << 0 << QList<Scripted>{{0, kGood}} << int(OperatorCancel)
            << QStringList{"Please Wait...", r + " - Success", "Cancelled", cancelled} << kGood
            << false << true;
        QTest::newRow("serial, port not open")
            << 0 << QList<Scripted>{{-2, {}}} << 0 << QStringList{" Comm port not open. "}
            << QByteArray() << true << false;
        QTest::newRow("serial, other result")
            << 0 << QList<Scripted>{{3, kGood}} << 0 << QStringList{"Download Finished"} << kGood
            << false << false;
        QTest::newRow("TCP, accepted")
            << 1 << QList<Scripted>{{0, kGood}} << 0
            << QStringList{r + " - Success", "Download Finished"} << kGood << false << false;
        QTest::newRow("TCP, not open")
            << 1 << QList<Scripted>{{-2, {}}} << 0 << QStringList{" Socket not open. "}
            << QByteArray() << true << false;
        QTest::newRow("TCP, late reply")
            << 1 << QList<Scripted>{{-1, {}}, {0, "LATE REPLY  0X"}} << 0
            << QStringList{"LATE REPLY  0X - Success 0", "Download Finished"}
            << QByteArray("LATE REPLY  0X") << false << false;
        QTest::newRow("TCP, no reply twice")
            << 1 << QList<Scripted>{{-1, {}}, {-1, {}}} << 0
            << QStringList{" - Success -1", "Download Finished"} << QByteArray() << false << false;
        // On the socket a break is no reason for "Check Printer...".
        QTest::newRow("TCP, timed out after a break")
            << 1 << QList<Scripted>{{-1, {}}} << int(SerialBreak)
            << QStringList{"Check Printer...", cancelled, "Cancelled"} << QByteArray() << false
            << true;
    }
    void lookupReplies() {
        QFETCH(int, mode);
        QFETCH(QList<Scripted>, script);
        QFETCH(int, what);
        QFETCH(QStringList, texts);
        QFETCH(QByteArray, returned);
        QFETCH(bool, error);
        QFETCH(bool, abort);
        m_state->mode = qint16(mode);
        script.first().during = during(what);
        (mode == 0 ? m_serial->script : m_socket->script) = script;
        QCOMPARE(m_stage->sendLookup(makeFile(QStringLiteral("t.txt"), "A\r\nB")), returned);
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_state->downloadError, error);
        QCOMPARE(m_state->abortRequested, abort);
        const QList<float> waits =
            script.size() == 2 ? QList<float>{30.0f, 13.0f} : QList<float>{30.0f};
        QCOMPARE(mode == 0 ? m_serial->timeouts : m_socket->timeouts, waits);
        QVERIFY(!m_state->downloadDone);
        QCOMPARE(m_serial->clears, 1);
    }

    void cancelWhileConverting() {
        QObject context;
        QMetaObject::invokeMethod(
            &context, [this] { requestCancel(*m_state, *m_view); }, Qt::QueuedConnection);
        QCOMPARE(m_stage->sendLookup(makeFile(QStringLiteral("t.txt"), "A\r\nB")), QByteArray());
        QCOMPARE(m_log, WireLog{});
        QCOMPARE(m_view->statuses, QStringList({"Please Wait...", "app.fpc Download Cancelled"}));
    }

    void workingFileIsPrivateAndReplaced() {
        const QString path = WorkingFile::path();
        QCOMPARE(path, m_cache.path() + QStringLiteral("/zeldl/Temp.txt"));
        // Someone plants a link at the working file's name.
        const QString other = m_dir->filePath(QStringLiteral("other.txt"));
        QVERIFY(TestFiles::write(other, "precious"));
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QVERIFY(QFile::link(other, path));

        answerEveryPacket(1);
        m_stage->sendLookup(makeFile(QStringLiteral("t.txt"), "A"));
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(TestFiles::read(path), QByteArray("{R0_XXXX_A|\r\n}\r\n"));
        QCOMPARE(TestFiles::read(other), QByteArray("precious"));
    }

    void missingLookupFile() {
        m_state->currentLookupName = QStringLiteral("gone.txt");
        QCOMPARE(m_stage->sendLookup(m_dir->filePath(QStringLiteral("gone.txt"))), QByteArray());
        QCOMPARE(m_view->statuses,
                 QStringList{"Download lookup gone.txt error 5 No such file or directory"});
        QVERIFY(m_state->downloadError);
        QCOMPARE(m_log, WireLog{});
        QCOMPARE(m_view->captions.last(), SettingsStore::applicationName());
    }

    void stageNumbersFromTheFirstLookup() {
        list({{"one.txt", "1A\r\n1B"}, {"two.txt", "2A"}, {"three.txt", "3A|"}});
        m_view->firstLookup = 3;
        answerEveryPacket(3);
        QList<double> heads;
        m_serial->onSend = [&](const QByteArray &line) {
            if (line.startsWith("{R"))
                heads << Clock::now();
        };
        const double start = Clock::now();
        QCOMPARE(m_stage->run(), LookupStage::Next::ClosingPacket);

        const QByteArrayList records = startingWith(m_log, "SEND:{R");
        QCOMPARE(records, QByteArrayList({"SEND:{R3_XXXX_1A|\r\n", "SEND:{R4_XXXX_2A|\r\n",
                                          "SEND:{R5_XXXX_3A|\r\n"}));
        QCOMPARE(m_log.count("WAIT"), 3);
        // Each record only after its own 4-second pause.
        QCOMPARE(heads.size(), 3);
        QVERIFY(heads[0] - start >= 4.0);
        QVERIFY(heads[1] - heads[0] >= 4.0);
        QVERIFY(heads[2] - heads[1] >= 4.0);
        const QString ok = QString::fromLatin1(kGood) + " - Success";
        QCOMPARE(m_view->statuses, QStringList({"Downloading one.txt", ok, "Download Finished",
                                                "Downloading two.txt", ok, "Download Finished",
                                                "Downloading three.txt", ok, "Download Finished"}));
        QCOMPARE(int(m_state->firstLookup), 3);
        QCOMPARE(int(m_state->nextLookupNumber), 6);
        QCOMPARE(m_view->selected, 2);
        QCOMPARE(TestFiles::read(WorkingFile::path()), QByteArray("{R5_XXXX_3A|\r\n}\r\n"));
    }

    void keypadClearsItsSlotsFirst_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("serial") << 0;
        QTest::newRow("TCP") << 1;
    }
    void keypadClearsItsSlotsFirst() {
        QFETCH(int, mode);
        m_state->printer = Printers::K72e;
        m_state->mode = qint16(mode);
        list({{"one.txt", "A"}, {"two.txt", "B"}, {"three.txt", "C"}});
        m_view->firstLookup = 3;
        answerEveryPacket(3);
        QCOMPARE(m_stage->run(), LookupStage::Next::ClosingPacket);
        // Cleared over the serial line whatever the mode, with no reply.
        QCOMPARE(m_log.mid(0, 3), QByteArrayList({"SEND:{C3}", "SEND:{C4}", "SEND:{C5}"}));
        QCOMPARE(m_log.at(3), mode == 0 ? QByteArray("SEND:{R3_XXXX_A|\r\n")
                                        : QByteArray("SOCK:{R3_XXXX_A|\r\n"));
        QCOMPARE(m_view->statuses.mid(0, 4), QStringList({"SENDING {C3}", "SENDING {C4}",
                                                          "SENDING {C5}", "Downloading one.txt"}));
    }

    void countPastNine() {
        list({{"one.txt", "A"}, {"two.txt", "B"}});
        m_view->firstLookup = 9;
        answerEveryPacket(2);
        QCOMPARE(m_stage->run(), LookupStage::Next::ClosingPacket);
        QCOMPARE(startingWith(m_log, "SEND:{R"),
                 QByteArrayList({"SEND:{R9_XXXX_A|\r\n", "SEND:{R:_XXXX_B|\r\n"}));
        QVERIFY(m_view->statuses.contains("Invalid lookup count: 10"));
    }

    void recordFileKeepsTheNumber() {
        list({{"one.txt", "A"}, {"rec.txt", "{R2_XXXX_r|\r\n}"}, {"three.txt", "C"}});
        answerEveryPacket(3);
        QCOMPARE(m_stage->run(), LookupStage::Next::ClosingPacket);
        QCOMPARE(startingWith(m_log, "SEND:{R"),
                 QByteArrayList(
                     {"SEND:{R0_XXXX_A|\r\n", "SEND:{R2_XXXX_r|\r\n", "SEND:{R1_XXXX_C|\r\n"}));
        QCOMPARE(int(m_state->nextLookupNumber), 2);
    }

    void stageStops_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<Scripted>("reply");
        QTest::addColumn<int>("what");
        QTest::addColumn<QByteArrayList>("wire");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("error");
        QTest::addColumn<bool>("abort");
        const QByteArrayList sent{"SEND:{R0_XXXX_F|\r\n", "SEND:}", "WAIT"};
        const QString dl = QStringLiteral("Downloading first.txt");
        const QString cancelled = QStringLiteral("app.fpc Download Cancelled");
        const QString bad = QStringLiteral("ACKNOWLEDGED?X");
        QTest::newRow("empty table") << QByteArray("") << Scripted{} << 0 << QByteArrayList{"SEND:"}
                                     << QStringList{dl, "Download Finished",
                                                    "Download lookup first.txt error: the "
                                                    "printer sent no reply"}
                                     << true << false;
        QTest::newRow("missing table")
            << kMissing << Scripted{} << 0 << QByteArrayList{}
            << QStringList{dl, "Download lookup first.txt error 5 No such file or directory"}
            << true << false;
        QTest::newRow("no reply") << QByteArray("F") << Scripted{-1, "PART"} << 0 << sent
                                  << QStringList{dl, "PART - Download error response timeout"}
                                  << true << false;
        QTest::newRow("packet error")
            << QByteArray("F") << Scripted{0, bad.toLatin1()} << 0 << sent
            << QStringList{dl,          bad + " - Success", bad + " Packet error",
                           "Cancelled", "Cancelled",        cancelled}
            << false << true;
        QTest::newRow("Cancel during the pause")
            << QByteArray("F") << Scripted{} << int(OperatorCancel) << QByteArrayList{}
            << QStringList{dl, "Please Wait...", cancelled} << false << true;
        QTest::newRow("Cancel during the reply wait")
            << QByteArray("F") << Scripted{0, kGood, during(OperatorCancel)} << 0 << sent
            << QStringList{dl,          "Please Wait...", QString::fromLatin1(kGood) + " - Success",
                           "Cancelled", cancelled,        "Cancelled",
                           cancelled}
            << false << true;
        QTest::newRow("break during the reply wait")
            << QByteArray("F") << Scripted{-1, {}, during(SerialBreak)} << 0 << sent
            << QStringList{dl, "Check Printer...", "Check Printer...", "Cancelled"} << true << true;
    }
    void stageStops() {
        QFETCH(QByteArray, first);
        QFETCH(Scripted, reply);
        QFETCH(int, what);
        QFETCH(QByteArrayList, wire);
        QFETCH(QStringList, texts);
        QFETCH(bool, error);
        QFETCH(bool, abort);
        list({{"first.txt", first}, {"second.txt", "S"}});
        m_serial->script << reply;
        if (what == OperatorCancel) {
            m_view->onStatus = [this](const QString &text) {
                if (text == "Downloading first.txt")
                    requestCancel(*m_state, *m_view);
            };
        }
        QCOMPARE(m_stage->run(), LookupStage::Next::EndStage);
        QCOMPARE(m_log, wire);
        QCOMPARE(m_view->statuses, texts);
        QCOMPARE(m_state->downloadError, error);
        QCOMPARE(m_state->abortRequested, abort);
    }

    void stageAfterAnEarlierError() {
        list({{"first.txt", "F"}});
        m_state->downloadError = true;
        QCOMPARE(m_stage->run(), LookupStage::Next::EndStage);
        QCOMPARE(m_log, WireLog{});
        QCOMPARE(m_view->statuses, QStringList{"Check Printer..."});
    }
};

QTEST_GUILESS_MAIN(tst_Lookups)
#include "tst_lookups.moc"

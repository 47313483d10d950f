#include "DownloadCommand.h"
#include "LookupStage.h"
#include "ModelSequences.h"
#include "TransferRig.h"

#include <QTest>

#include <memory>

namespace {
const QString kQuestion = QStringLiteral("\r\n\r\nDo you want to set default comm settings?");

QString notDefault(const char *model) {
    return QStringLiteral("The Communication Setting for the ") + QLatin1String(model) +
           QStringLiteral(" is not the default setting for the Printer.") + kQuestion;
}

// The real sequences, or a stand-in where a test needs to steer them.
class Sequencer : public ModelSequencer {
public:
    Sequencer(ModelSequences &real, WireLog &log) : m_real(real), m_log(log) {}
    std::function<void()> stand_in;
    void runSequence() override {
        m_log << "SEQUENCE";
        if (stand_in)
            stand_in();
        else
            m_real.runSequence();
    }
    void showOperatorPrompt() override { m_real.showOperatorPrompt(); }

private:
    ModelSequences &m_real;
    WireLog &m_log;
};

enum Failure {
    StatusTimeout,
    AppPacketError,
    AppUnsuccessful,
    AppTimeout,
    PortClosed,
    FormatMissing,
    LookupMissing,
    LookupPacketError,
    LookupEmpty,
    ClosingPortClosed,
    CancelDuringApp,
};
} // namespace

// The Download command from lock to unlock, with the real transfers and
// sequences between fake links and a fake window.
class tst_DownloadCommand : public QObject, protected TransferRig {
    Q_OBJECT
    std::unique_ptr<LookupStage> m_lookups;
    std::unique_ptr<ModelSequences> m_models;
    std::unique_ptr<Sequencer> m_sequencer;
    std::unique_ptr<DownloadCommand> m_command;

    void chooseApp(const QByteArray &bytes) {
        appFile(bytes);
        m_view->appFileShown = true;
    }
    void chooseFormat(const QString &name, const QByteArray &bytes) {
        m_state->formatPath = bytes.isEmpty() ? m_dir->filePath(name) : makeFile(name, bytes);
        m_state->formatTitle = name;
    }
    void addLookup(const QString &name, const QByteArray &bytes) {
        m_view->names << name;
        m_view->paths << (bytes.isNull() ? m_dir->filePath(name) : makeFile(name, bytes));
    }
    bool closingSent() const {
        return m_log.contains("SEND:{S }") || m_log.contains("SEND:{Q }") ||
               m_log.contains("SOCK:{S }") || m_log.contains("SOCK:{Q }");
    }

private Q_SLOTS:
    void initTestCase() { startRig(); }

    void init() {
        resetTransfer();
        // The idle window: a file chosen, the Download commands enabled.
        m_view->downloadEnabled = true;
        m_view->promptSuppressed = true;
        m_lookups = std::make_unique<LookupStage>(*m_state, *m_view, *m_serial, *m_transfer);
        m_models =
            std::make_unique<ModelSequences>(*m_state, *m_store, *m_view, *m_serial, *m_transfer);
        m_sequencer = std::make_unique<Sequencer>(*m_models, m_log);
        m_command =
            std::make_unique<DownloadCommand>(*m_state, *m_view, *m_serial, *m_socket, *m_transfer,
                                              *m_lookups, *m_sequencer, nullptr);
    }

    void cleanup() {
        QVERIFY(!TestFiles::anyOpenUnder(m_dir->path()));
        // Whatever happened, the window is given back.
        QVERIFY(!m_view->locked);
        QVERIFY(!m_view->progressVisible);
    }

    void closingPacket_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("app");
        QTest::addColumn<bool>("appSent");
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<bool>("announced");
        // With an application; the stand-in sequence leaves appSent as set.
        QTest::newRow("Q410, app sent") << 0 << 0 << true << true << QByteArray("{S }") << true;
        QTest::newRow("Q410, app not sent")
            << 0 << 0 << true << false << QByteArray("{Q }") << false;
        QTest::newRow("K72e, app not sent")
            << 3 << 0 << true << false << QByteArray("{S }") << true;
        QTest::newRow("T540, app not sent")
            << 5 << 1 << true << false << QByteArray("{S }") << false;
        QTest::newRow("R300, app not sent")
            << 6 << 0 << true << false << QByteArray("{Q }") << false;
        QTest::newRow("R300 TCP, app sent") << 6 << 1 << true << true << QByteArray("{S }") << true;
        // Lookups only; an application sent by an earlier download does not count.
        for (const int mode : {0, 1}) {
            const char *link = mode == 0 ? "serial" : "TCP";
            QTest::addRow("Q410 %s, lookups only", link)
                << 0 << mode << false << true << QByteArray("{Q }") << false;
            QTest::addRow("Q415 %s, lookups only", link)
                << 1 << mode << false << false << QByteArray("{Q }") << false;
            QTest::addRow("Q417 %s, lookups only", link)
                << 2 << mode << false << false << QByteArray("{Q }") << false;
            QTest::addRow("K72e %s, lookups only", link)
                << 3 << mode << false << false << QByteArray("{S }") << true;
            QTest::addRow("Q412 %s, lookups only", link)
                << 4 << mode << false << true << QByteArray("{S }") << (mode == 0);
            QTest::addRow("T540 %s, lookups only", link)
                << 5 << mode << false << false << QByteArray("{S }") << false;
            QTest::addRow("R300 %s, lookups only", link)
                << 6 << mode << false << false << QByteArray("{Q }") << false;
            QTest::addRow("T523 %s, lookups only", link)
                << 7 << mode << false << false << QByteArray("{S }") << false;
        }
    }
    void closingPacket() {
        QFETCH(int, printer);
        QFETCH(int, mode);
        QFETCH(bool, app);
        QFETCH(bool, appSent);
        QFETCH(QByteArray, packet);
        QFETCH(bool, announced);
        m_state->printer = qint16(printer);
        m_state->mode = qint16(mode);
        m_state->appSent = appSent;
        m_sequencer->stand_in = [] {
        };
        if (app)
            chooseApp("{X,1}");
        else
            addLookup(QStringLiteral("codes.txt"), "A");
        answerEveryPacket(2);
        m_command->startDownload();

        // The last thing on the wire, on the link in use, with no reply awaited.
        QCOMPARE(m_log.last(), (mode == 0 ? "SEND:" : "SOCK:") + packet);
        QCOMPARE(m_view->current, QStringLiteral("Download Complete"));
        const qsizetype at = m_view->statuses.indexOf("SENDING {S }");
        QCOMPARE(at >= 0, announced);
        if (announced)
            QCOMPARE(at, m_view->statuses.size() - 3);
    }

    void defaultSettingsCheck_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("passThru");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("prompt");
        const QString q410 = notDefault("Q410/15/17");
        QTest::newRow("Q410, 9600,N,8,1") << 0 << false << 0 << "9600,N,8,1" << q410;
        QTest::newRow("Q410, its default") << 0 << false << 0 << "9600,o,7,1" << QString();
        QTest::newRow("Q410, upper-case O") << 0 << false << 0 << "9600,O,7,1" << q410;
        QTest::newRow("Q415 over TCP") << 1 << false << 1 << "9600,n,8,1" << q410;
        QTest::newRow("Q417") << 2 << false << 0 << "19200,o,7,1" << q410;
        QTest::newRow("K72e") << 3 << false << 0 << "9600,n,8,1" << notDefault("K72e");
        QTest::newRow("K72e over TCP") << 3 << false << 1 << "9600,n,8,1" << notDefault("K72e");
        QTest::newRow("K72e, its default") << 3 << false << 0 << "19200,n,8,1" << QString();
        QTest::newRow("K72e pass-through") << 3 << true << 0 << "9600,N,8,1" << notDefault("R3xx");
        QTest::newRow("K72e pass-through over TCP") << 3 << true << 1 << "9600,N,8,1" << QString();
        QTest::newRow("Q412 over TCP") << 4 << false << 1 << "9600,N,8,1" << notDefault("Q412");
        QTest::newRow("Q412, its default") << 4 << false << 0 << "9600,n,8,1" << QString();
        QTest::newRow("T540") << 5 << false << 0 << "9600,N,8,1" << notDefault("T540");
        QTest::newRow("T540 over TCP") << 5 << false << 1 << "9600,N,8,1" << QString();
        QTest::newRow("R300") << 6 << false << 0 << "9600,n,8,2" << notDefault("R3xx");
        QTest::newRow("R300 over TCP") << 6 << false << 1 << "9600,n,8,2" << QString();
        QTest::newRow("T523") << 7 << false << 0 << "9600,n,7,1" << notDefault("T523");
        QTest::newRow("T523 over TCP") << 7 << false << 1 << "9600,n,7,1" << QString();
    }
    void defaultSettingsCheck() {
        QFETCH(int, printer);
        QFETCH(bool, passThru);
        QFETCH(int, mode);
        QFETCH(QString, current);
        QFETCH(QString, prompt);
        m_state->printer = qint16(printer);
        m_state->mode = qint16(mode);
        m_view->passThru = passThru;
        m_view->promptSuppressed = false;
        m_view->promptAnswer = 2;
        m_serial->settings = current;
        m_sequencer->stand_in = [] {
        };
        chooseApp("");
        m_command->startDownload();
        QCOMPARE(m_view->prompts, prompt.isNull() ? QStringList{} : QStringList{prompt});
        // "No" goes on with the settings as they are.
        QVERIFY(m_log.contains("SEQUENCE"));
        QCOMPARE(m_serial->settings, current);
        QCOMPARE(m_view->saveItCalls, 0);

        // "Don't show again": never asked. A fresh download set for it.
        QVERIFY(!m_view->locked);
        init();
        m_state->printer = qint16(printer);
        m_state->mode = qint16(mode);
        m_view->passThru = passThru;
        m_serial->settings = current;
        m_sequencer->stand_in = [] {
        };
        chooseApp("");
        m_command->startDownload();
        QCOMPARE(m_view->prompts, QStringList{});
    }

    void promptAnswers_data() {
        QTest::addColumn<int>("printer");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("answer");
        QTest::addColumn<WireLog>("wire");
        QTest::newRow("Yes") << 0 << 0 << 1
                             << WireLog{"OPEN", "CLOSE", "APPLY:1,9600,o,7,1,5", "OPEN",
                                        "SEQUENCE"};
        QTest::newRow("Yes, K72e")
            << 3 << 0 << 1 << WireLog{"OPEN", "CLOSE", "APPLY:2,19200,n,8,1,5", "OPEN", "SEQUENCE"};
        QTest::newRow("Yes, Q412 over TCP")
            << 4 << 1 << 1
            << WireLog{"CONNECT", "CLOSE", "APPLY:1,9600,n,8,1,5", "OPEN", "SEQUENCE"};
        QTest::newRow("No") << 0 << 0 << 2 << WireLog{"OPEN", "SEQUENCE"};
        QTest::newRow("box closed") << 0 << 0 << 0 << WireLog{"OPEN", "SEQUENCE"};
        QTest::newRow("Cancel") << 0 << 0 << 3 << WireLog{"OPEN"};
        QTest::newRow("Cancel over TCP") << 4 << 1 << 3 << WireLog{"CONNECT"};
    }
    void promptAnswers() {
        QFETCH(int, printer);
        QFETCH(int, mode);
        QFETCH(int, answer);
        QFETCH(WireLog, wire);
        m_state->printer = qint16(printer);
        m_state->mode = qint16(mode);
        m_state->comPort = 5;
        m_state->handshaking = 0;
        m_view->promptSuppressed = false;
        m_view->promptAnswer = answer;
        m_serial->settings = QStringLiteral("9600,N,8,1");
        chooseApp("{X,1}");
        addLookup(QStringLiteral("codes.txt"), "A");
        m_sequencer->stand_in = [] {
        };
        answerEveryPacket(2);
        m_command->startDownload();
        QCOMPARE(m_log.mid(0, wire.size()), wire);
        QCOMPARE(m_view->saveItCalls, answer == 1 ? 1 : 0);
        if (answer == 1) {
            QCOMPARE(m_state->lineSettings, m_serial->settings);
            QCOMPARE(int(m_state->handshaking), printer == 3 ? 2 : 1);
        } else {
            QCOMPARE(m_state->lineSettings, QStringLiteral("9600,N,8,1"));
            QCOMPARE(int(m_state->handshaking), 0);
        }
        if (answer == 3) {
            // Nothing sent; the window as before, with the model's instruction.
            QCOMPARE(m_log, wire);
            QVERIFY(m_view->downloadEnabled);
            QVERIFY(m_state->downloadDone);
            QCOMPARE(m_view->progressValue, 0);
            QCOMPARE(m_view->current, printer == 0
                                          ? QStringLiteral("Set Printer to Data Transfer/Receive")
                                          : QStringLiteral("Set Printer to Online"));
        } else {
            QCOMPARE(m_view->current, QStringLiteral("Download Complete"));
        }
    }

    void windowLockedWhileRunning_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("serial") << 0;
        QTest::newRow("TCP") << 1;
    }
    void windowLockedWhileRunning() {
        QFETCH(int, mode);
        m_state->mode = qint16(mode);
        m_state->modeOption = qint16(1 - mode);
        // Left over from an earlier download.
        m_state->abortRequested = m_state->breakSeen = m_state->downloadError = true;
        m_state->operatorCancelled = true;
        m_state->transferFailure = QStringLiteral("old");
        chooseApp("");
        bool checked = false;
        m_sequencer->stand_in = [&] {
            checked = true;
            QVERIFY(m_view->locked);
            QVERIFY(!m_view->downloadEnabled);
            QVERIFY(!m_state->abortRequested && !m_state->breakSeen);
            QVERIFY(!m_state->downloadError && !m_state->operatorCancelled);
            QVERIFY(m_state->transferFailure.isEmpty());
            QCOMPARE(int(m_state->modeOption), mode);
        };
        m_command->startDownload();
        QVERIFY(checked);
        QCOMPARE(m_log.first(), mode == 0 ? QByteArray("OPEN") : QByteArray("CONNECT"));
        QVERIFY(m_view->downloadEnabled);
        QVERIFY(m_state->downloadDone);
        QCOMPARE(m_view->progressValue, 0);
        QCOMPARE(m_view->statuses.first(), QStringLiteral("Working..."));
    }

    void keypadPassThruWaitsForItsReset_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("completed") << false;
        QTest::newRow("cancelled") << true;
    }
    void keypadPassThruWaitsForItsReset() {
        QFETCH(bool, cancel);
        m_state->printer = Printers::K72e;
        m_view->passThru = true;
        chooseApp("");
        m_sequencer->stand_in = [&] {
            m_state->appSent = true;
            if (cancel)
                requestCancel(*m_state, *m_view);
        };
        m_command->startDownload();
        // The reset timer gives the Download commands back, not the end stage.
        QCOMPARE(m_view->downloadEnabled, cancel);
        QCOMPARE(m_view->current,
                 cancel ? QStringLiteral("Cancelled") : QStringLiteral("Resetting Printer ..."));
    }

    void failuresNeverEndComplete_data() {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("closing");
        const QString bad = QStringLiteral("ACKNOWLEDGED?X");
        const QString missing = QStringLiteral(" 5 No such file or directory");
        QTest::newRow("status request timed out")
            << int(StatusTimeout) << "PART - Download error response timeout" << false;
        // A packet error or CP=4 does not stop the later stages.
        QTest::newRow("application packet error")
            << int(AppPacketError) << bad + " - Packet error" << true;
        QTest::newRow("application CP=4")
            << int(AppUnsuccessful) << "Unsuccessful Transmission" << true;
        QTest::newRow("application timed out")
            << int(AppTimeout) << "PART - Download error response timeout" << false;
        QTest::newRow("port closed") << int(PortClosed) << " Comm port not open" << false;
        QTest::newRow("format file missing")
            << int(FormatMissing) << "FormatDownload Error" + missing << false;
        QTest::newRow("lookup missing")
            << int(LookupMissing) << "Download lookup gone.txt error" + missing << false;
        QTest::newRow("lookup packet error")
            << int(LookupPacketError) << bad + " Packet error" << false;
        QTest::newRow("empty lookup") << int(LookupEmpty) << QString() << false;
        QTest::newRow("port closed at the closing packet")
            << int(ClosingPortClosed) << " Comm port not open" << true;
        QTest::newRow("Cancel during the application")
            << int(CancelDuringApp) << "Cancelled" << false;
    }
    void failuresNeverEndComplete() {
        QFETCH(int, failure);
        QFETCH(QString, text);
        QFETCH(bool, closing);
        const bool q412 = failure == StatusTimeout;
        m_state->printer = q412 ? Printers::Q412 : Printers::Q410;
        const bool lookupFailure =
            failure == LookupMissing || failure == LookupPacketError || failure == LookupEmpty;
        if (failure == FormatMissing)
            chooseFormat(QStringLiteral("missing.fmt"), {});
        if (lookupFailure || failure == FormatMissing) {
            addLookup(failure == LookupMissing ? QStringLiteral("gone.txt")
                                               : QStringLiteral("codes.txt"),
                      failure == LookupMissing ? QByteArray()
                      : failure == LookupEmpty ? QByteArray("")
                                               : QByteArray("A"));
            addLookup(QStringLiteral("more.txt"), "M");
        } else {
            chooseApp("{X,1}\r\n{Y,2}");
        }
        const QByteArray reply = failure == AppPacketError || failure == LookupPacketError
                                     ? QByteArray("ACKNOWLEDGED?X")
                                 : failure == AppUnsuccessful ? QByteArray("CP=4 ACKNOWL0X")
                                                              : kGood;
        switch (failure) {
        case StatusTimeout:
        case AppTimeout:
            m_serial->script << Scripted{-1, "PART"};
            break;
        case PortClosed:
            m_serial->script << Scripted{-2, {}};
            break;
        case CancelDuringApp:
            m_serial->script << Scripted{0, kGood, [this] {
                                             requestCancel(*m_state, *m_view);
                                         }};
            break;
        case ClosingPortClosed:
            m_serial->onSend = [this](const QByteArray &line) {
                if (line == "{S }") {
                    m_view->setStatus(QStringLiteral(" Comm port not open"));
                    m_state->downloadError = true;
                }
            };
            break;
        default:
            break;
        }
        m_serial->script << Scripted{0, reply} << Scripted{0, reply} << Scripted{0, reply};
        m_command->startDownload();

        if (text.isNull())
            QVERIFY(m_view->current != QStringLiteral("Download Complete"));
        else
            QCOMPARE(m_view->current, text);
        QCOMPARE(closingSent(), closing);
        // The table after a failed one never goes out.
        QVERIFY(!m_log.join().contains("_M|"));
        QVERIFY(m_view->downloadEnabled);
    }

    void cancelDuringTheFormatPauseStopsEverything() {
        chooseApp("{X,1}");
        chooseFormat(QStringLiteral("labels.fmt"), "F1\r\nF2");
        addLookup(QStringLiteral("codes.txt"), "A");
        answerEveryPacket(2);
        QObject context;
        m_sequencer->stand_in = [&] {
            m_state->appSent = true;
            // Delivered by the first wait after the sequence: the format pause.
            QMetaObject::invokeMethod(
                &context, [this] { requestCancel(*m_state, *m_view); }, Qt::QueuedConnection);
        };
        m_command->startDownload();
        QCOMPARE(m_log, WireLog({"OPEN", "SEQUENCE"}));
        QCOMPARE(m_view->statuses, QStringList({"Working...", "Please Wait...", "Cancelled"}));
        QVERIFY(m_view->downloadEnabled);
    }

    void formatOnlyDownload() {
        chooseFormat(QStringLiteral("labels.fmt"), "F1}\r\nF2|");
        double working = 0;
        double sent = 0;
        m_view->onStatus = [&](const QString &text) {
            if (text == "Working...")
                working = Clock::now();
        };
        m_serial->onSend = [&](const QByteArray &) {
            if (sent == 0)
                sent = Clock::now();
        };
        m_command->startDownload();
        // The real Q410 sequence has nothing to send; no closing packet follows.
        QCOMPARE(m_log, WireLog({"OPEN", "SEQUENCE", "SEND:F1}", "SEND:F2|"}));
        QVERIFY(sent - working >= 4.0);
        QCOMPARE(m_view->current, QStringLiteral("Download Complete"));
    }

    void wholeQ412Download() {
        m_state->printer = Printers::Q412;
        chooseApp("{X,1}");
        addLookup(QStringLiteral("one.txt"), "A");
        addLookup(QStringLiteral("two.txt"), "B");
        answerEveryPacket(4);
        m_command->startDownload();
        QCOMPARE(m_log, WireLog({"OPEN", "SEQUENCE", "SEND:{SR}", "WAIT", "SEND:{X,1}", "WAIT",
                                 "SEND:{R0_XXXX_A|\r\n", "SEND:}", "WAIT", "SEND:{R1_XXXX_B|\r\n",
                                 "SEND:}", "WAIT", "SEND:{S }"}));
        QCOMPARE(m_view->statuses.mid(m_view->statuses.size() - 4),
                 QStringList({"Download Finished", "SENDING {S }", "Download Complete",
                              "Download Complete"}));
        QVERIFY(m_state->appSent);
        QVERIFY(m_view->downloadEnabled);
    }
};

QTEST_GUILESS_MAIN(tst_DownloadCommand)
#include "tst_downloadcommand.moc"

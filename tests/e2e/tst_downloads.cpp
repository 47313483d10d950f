#include "Clock.h"
#include "DownloadSetPanel.h"
#include "FileDrag.h"
#include "ModeDialog.h"
#include "SampleSet.h"
#include "SerialLink.h"
#include "TcpIpSettingsDialog.h"
#include "TrafficRecorder.h"
#include "TrafficText.h"
#include "WindowRig.h"
#include "ZelsimPrinter.h"

#include <QBuffer>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

namespace {
using namespace SampleSet;

const QByteArray kKeypadPreparation =
    R"({I,E,"~123~044~034~124~125~126~094"|}^MOi^PTX^PTS^PT2^PT2)" + QByteArray(1, '\x18');

} // namespace

// Whole downloads through the real window and the real links to the virtual
// printer: one row per way the printer or the line can fail, and one per
// model, link and path: the final text, and every byte the printer received.
class tst_Downloads : public QObject, protected WindowRig {
    Q_OBJECT
    std::unique_ptr<ZelsimPrinter> m_printer;

    // The printer on Com1 and on a loopback port, with the given faults.
    bool plugPrinter(const QStringList &faults = {}) {
        QStringList options;
        for (const QString &fault : faults)
            options << "--fault" << fault;
        m_printer = std::make_unique<ZelsimPrinter>(
            QStringList{"--serial", "--tcp", "127.0.0.1:0"} + options);
        qputenv("ZELDL_COM1", m_printer->tty.toLocal8Bit());
        return !m_printer->tty.isEmpty();
    }

private Q_SLOTS:
    void init() { resetWindowRig(); }
    void cleanup() {
        closeWindowRig();
        m_printer.reset();
    }

    void download_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("at");     // a status text at which ...
        QTest::addColumn<QString>("action"); // ... "cancel" or "break" happens
        QTest::addColumn<QByteArray>("lookup");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("replies"); // awaited and judged, in order
        const QString timeout = QStringLiteral(" - Download error response timeout");
        const auto row = [&](const char *name, int model, const QStringList &faults,
                             const QByteArray &wire, const QString &end,
                             const QStringList &replies = {}, const QString &at = {},
                             const QString &action = {}, const QByteArray &lookup = kLookup) {
            QTest::newRow(name) << model << faults << at << action << lookup << wire << end
                                << replies;
        };
        const QStringList all{"{CP=0,P=001,0} - Success", "{CP=0,P=002,0} - Success",
                              "{CP=0,P=003,0} - Success"};
        row("answered", 0, {}, kFullWire, "Download Complete", all);
        // The end texts; the fault matrix below has every fault at every place.
        row("refused packet", 0, {"error@1"}, "{XA,1}",
            "Download app.fpc error: {CP=4,P=001,?} Packet error");
        row("CP=4 on the last packet", 0, {"cp4@2"}, kAppWire,
            "Unsuccessful Transmission of app.fpc");
        row("short reply", 0, {"short@1"}, "{XA,1}", "{CP=0,P=00" + timeout);
        row("device gone", 0, {"hangup@2"}, kAppWire, " Comm port not open", {all[0]});
        row("Q412 status refused", 4, {"error@1"}, "{SR}", "{CP=4,P=001,?} - Packet error");
        // A break must not leave anything that makes a reply go unawaited.
        row("break on a model it does not stop", 2, {}, kFullWire, "Download Complete", all,
            "Downloading app.fpc", "break");
        row("break on a Q410", 0, {}, kFormatWire + kLookupWire + "{S }", "Check Printer...", {},
            "Downloading app.fpc", "break");
        row("Cancel before a lookup", 0, {}, kAppWire + kFormatWire, "app.fpc Download Cancelled",
            {}, "Downloading t1.txt", "cancel");
        row("lookup record 10 in record form", 0, {},
            kAppWire + kFormatWire + "{RA_XXXX_x|\r\n}{S }", "Download Complete", all, {}, {},
            "{RA_XXXX_x|\r\n}\r\n");
    }

    void download() {
        QFETCH(int, model);
        QFETCH(QStringList, faults);
        QFETCH(QString, at);
        QFETCH(QString, action);
        QFETCH(QByteArray, lookup);
        QFETCH(QByteArray, wire);
        QFETCH(QString, end);
        QVERIFY(plugPrinter(faults));
        m_store->write("Printer", QString::number(model));
        m_store->write("Settings", model == 4 ? "9600,n,8,1" : "9600,o,7,1");
        m_store->write("LLU", "True");
        load();
        DownloadSetPanel &editor = m_window->downloadSet();
        editor.takeApplication(makeFile("app.fpc", kApp));
        editor.takeFormat(makeFile("label.fmt", kFormat));
        editor.takeLookups({makeFile("t1.txt", lookup)});
        connect(m_window.get(), &MainWindow::statusWritten, this, [&](const QString &text) {
            if (text != at)
                return;
            if (action == "cancel")
                m_window->ui().cancelButton->click();
            else
                m_window->serialLink().onLineEvent(1001);
        });

        m_window->ui().downloadButton->click();

        QCOMPARE(m_window->status(), end);
        QVERIFY(end == "Download Complete" || !m_statuses.contains("Download Complete"));
        QTRY_COMPARE(m_printer->captured(), wire);
        QFETCH(QStringList, replies);
        QVERIFY(statusesInOrder(replies));
        const MainWindowUi &ui = m_window->ui();
        QVERIFY(ui.downloadButton->isEnabled() && ui.closeButton->isEnabled());
        QVERIFY(!ui.cancelButton->isEnabled() && !ui.progressBar->isVisible());
        QCOMPARE(m_window->windowTitle(), SettingsStore::applicationName());
    }
    // Each model over each link it allows, on each path: the bytes the
    // printer received and the end text.
    void models_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("set"); // app, bundle, lookups or unreachable
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("waits");      // seconds of pauses and time-outs at least
        QTest::addColumn<bool>("announced"); // "SENDING {SR}" shown
        QTest::addColumn<int>("boxes");
        const QByteArray bundle = "{XA,1}{S }";
        const QString unanswered = "Download app.fpc error: the printer sent no reply";
        const auto row = [](const char *name, int model, int mode, const char *set,
                            const QStringList &faults, const QByteArray &wire, const QString &end,
                            int waits, bool announced = false, int boxes = 0) {
            QTest::newRow(name) << model << mode << QString(set) << faults << wire << end << waits
                                << announced << boxes;
        };
        const QString complete = QStringLiteral("Download Complete");
        // The format file goes 4 s after the application.
        row("T540 over TCP/IP", 5, 1, "app", {}, "{SR}" + kFullWire, complete, 4, true);
        row("T523 on serial", 7, 0, "app", {}, "{SR}" + kFullWire, complete, 4, true);
        row("T523 over TCP/IP, status unanswered", 7, 1, "app", {"silent@1"}, "{SR}" + kFullWire,
            complete, 4 + 30 + 13);
        row("T540 bundle, printer unreachable", 5, 1, "unreachable", {}, "",
            "Socket Error 10061 Connection refused", 10);
        row("T540 lookups alone over TCP/IP", 5, 1, "lookups", {}, kLookupWire + "{S }", complete,
            0, false, 1);
        row("R300 over TCP/IP", 6, 1, "app", {},
            R"({I,E,"~123~044~034~124~125~126~094","~013"|}^SFa)" + kFullWire, complete, 4 + 4);
        row("R300 bundle on serial", 6, 0, "bundle", {},
            R"({I,E,"~123~044~034~124~125~126~094"|}^SFa)" + bundle, complete, 4 + 4);
        // The keypad clears the lookup slots first, and is reset 7.5 s (8.5 s
        // over TCP/IP) after the download, for 15 s.
        const QByteArray keypad =
            kKeypadPreparation + kAppWire + kFormatWire + "{C0}" + kLookupWire + "{S }^PR";
        row("K72e through, on serial", 3, 0, "app", {}, keypad, complete, 4 + 15 + 4 + 7 + 15);
        row("K72e through, over TCP/IP", 3, 1, "app", {}, keypad, complete, 4 + 15 + 4 + 8 + 15);
        row("K72e through, unanswered: reset, and the failure stays", 3, 0, "app", {"silent@1"},
            kKeypadPreparation + "{XA,1}^PR", " - Download error response timeout",
            4 + 15 + 30 + 7 + 15);
        row("printer that never answers", 5, 1, "app", {"silent@2+"},
            "{SR}" + kAppWire + kFormatWire + kLookupWire, unanswered, 4 + 3 * (30 + 13), true);
        row("printer that drops the connection", 5, 1, "app", {"drop@2"}, "{SR}{XA,1}",
            "Socket Error 10053 Connection closed by the printer", 0, true);
    }
    void models() {
        QFETCH(int, model);
        QFETCH(int, mode);
        QFETCH(QString, set);
        QFETCH(QStringList, faults);
        QVERIFY(plugPrinter(faults));
        QString port = m_printer->port;
        if (set == "unreachable") {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            port = QString::number(closed.serverPort());
        }
        store(QString("Printer=%1;Mode=%2;IPAddress=127.0.0.1;IPPort=%3;PassThru=True;"
                      "NeverShowDefault=True;LLU=True")
                  .arg(model)
                  .arg(mode)
                  .arg(port));
        load();
        ModalAnswerer user;
        DownloadSetPanel &editor = m_window->downloadSet();
        if (set == "bundle" || set == "unreachable")
            editor.takeApplication(makeFile("app.all", "{XA,1}\r\n"));
        if (set == "app")
            editor.takeApplication(makeFile("app.fpc", kApp));
        if (set == "app")
            editor.takeFormat(makeFile("label.fmt", kFormat));
        if (set != "bundle" && set != "unreachable")
            editor.takeLookups({makeFile("t1.txt", kLookup)});
        QFETCH(QByteArray, wire);
        QFETCH(QString, end);
        // A failed download leaves nothing behind: over TCP/IP, where each
        // connection counts its packets afresh, the next one goes the same way.
        const int attempts = faults.isEmpty() || mode == 0 ? 1 : 2;
        QElapsedTimer clock;
        clock.start();
        for (int attempt = 0; attempt < attempts; ++attempt) {
            m_window->ui().downloadButton->click();
            QTRY_VERIFY(m_window->ui().downloadButton->isEnabled());
            QCOMPARE(m_window->status(), end);
        }
        QTRY_COMPARE(m_printer->captured(), wire.repeated(attempts));
        QVERIFY(end == "Download Complete" || !m_statuses.contains("Download Complete"));
        QTEST(int(user.seen.size()), "boxes");
        QTEST(m_statuses.contains("SENDING {SR}"), "announced");
        QFETCH(int, waits);
        QVERIFY(double(clock.elapsed()) >= 1000.0 * waits * Clock::scale());
    }

    // The operator switches to TCP/IP through the Mode and TCP/IP dialogs,
    // downloads, switches back to serial through the Mode dialog and
    // downloads again: the same printer gets the same bytes both times.
    void switchLinksThroughDialogs() {
        QVERIFY(plugPrinter());
        store("Printer=5;IPAddress=192.0.2.1;NeverShowDefault=True;LLU=True;IPPort=" +
              m_printer->port);
        load();
        bool toTcp = true;
        ModalAnswerer user([&](QWidget *modal) {
            if (auto *mode = qobject_cast<ModeDialog *>(modal)) {
                (toTcp ? mode->tcpipButton : mode->serialButton)->click();
                mode->okButton->click();
            } else if (auto *tcp = qobject_cast<TcpIpSettingsDialog *>(modal)) {
                const QStringList octets{"127", "0", "0", "1"};
                for (int i = 0; i < 4; ++i)
                    tcp->addressLists[i]->setCurrentText(octets[i]);
                tcp->portList->setCurrentText(m_printer->port);
                tcp->okButton->click();
            }
        });
        DownloadSetPanel &editor = m_window->downloadSet();
        editor.takeApplication(makeFile("app.fpc", kApp));
        editor.takeFormat(makeFile("label.fmt", kFormat));
        editor.takeLookups({makeFile("t1.txt", kLookup)});
        const MainWindowUi &ui = m_window->ui();

        ui.modeAction->trigger();
        ui.tcpipAction->trigger();
        QCOMPARE(ui.modePanel->text(), "TCP/IP Mode");
        QCOMPARE(ui.linkPanel->text(), "127.0.0.1 at port " + m_printer->port);
        ui.downloadButton->click();
        QCOMPARE(m_window->status(), "Download Complete");

        toTcp = false;
        ui.modeAction->trigger();
        QCOMPARE(ui.modePanel->text(), "Serial Mode");
        ui.downloadButton->click();
        QCOMPARE(m_window->status(), "Download Complete");

        QTRY_COMPARE(m_printer->captured(), QByteArray("{SR}" + kFullWire).repeated(2));
        QCOMPARE(m_store->read("Mode", ""), "0");
        QCOMPARE(m_store->read("IPAddress", ""), "127.0.0.1");
    }

    // Every fault at the first, a middle and the last awaited packet (the
    // last is the lookup's) on both links: a failure never ends as complete,
    // the printer gets nothing after the failing packet (over TCP/IP an
    // unanswered packet lets the transfer go on), the trace holds what was
    // sent and judges the reply, and the next download to a sound printer is
    // byte-exact.
    void faultMatrix_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("at");
        for (const int mode : {0, 1})
            for (const char *fault :
                 {"silent", "delay", "error", "garbage", "cp4", "short", "long", "gone"})
                for (const int at : {1, 2, 4})
                    QTest::addRow("%s@%d %s", fault, at, mode ? "TCP/IP" : "serial")
                        << QString(fault) << mode << at;
    }
    void faultMatrix() {
        QFETCH(QString, fault);
        QFETCH(int, mode);
        QFETCH(int, at);
        const bool tcp = mode == 1;
        // Past both reply waits (0.3 s and 0.13 s at the test's time scale).
        const QString option = fault == "delay" ? QStringLiteral("delay@%1=700").arg(at)
                               : fault == "gone"
                                   ? QStringLiteral("%1@%2").arg(tcp ? "drop" : "hangup").arg(at)
                                   : QStringLiteral("%1@%2").arg(fault).arg(at);
        const QByteArrayList packets{"{XA,1}", "{F,2,A|\r\n}{XB,2}", "{XC,3}", kLookupWire};
        const QByteArray head = R"({I,E,"~123~044~034~124~125~126~094","~013"|}^SFa)";
        QByteArray upTo = head, all = head;
        for (int i = 0; i < packets.size(); ++i) {
            all += packets[i];
            if (i < at)
                upTo += packets[i];
        }
        all += "{S }";
        QVERIFY(plugPrinter({option}));
        store(QString("Printer=6;Mode=%1;NeverShowDefault=True;LLU=True;IPPort=%2")
                  .arg(mode)
                  .arg(m_printer->port));
        load();
        m_window->downloadSet().takeApplication(
            makeFile("app.fpc", "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n{XC,3}\r\n"));
        m_window->downloadSet().takeLookups({makeFile("t1.txt", kLookup)});
        m_window->ui().downloadButton->click();
        QTRY_VERIFY(m_window->ui().downloadButton->isEnabled());
        const bool harmless = fault == "long";
        const bool goesOn = tcp && (fault == "silent" || fault == "delay" || fault == "short");
        QCOMPARE(m_window->status() == "Download Complete", harmless);
        // The trace names the link, judges the faulted reply and holds every
        // byte sent (compared with what the printer got, below).
        const TrafficRecorder &trace = m_window->trafficRecorder();
        QStringList verdicts, links;
        for (quint64 n = trace.firstNumber(); n < trace.endNumber(); ++n) {
            links << trace.linkName(trace.row(n).link);
            if (trace.row(n).kind == TrafficRow::Kind::Reply)
                verdicts << TrafficText::verdict(trace.row(n));
        }
        const QMap<QString, QString> judged{{"silent", "time-out"},
                                            {"delay", "time-out"},
                                            {"error", "packet error"},
                                            {"garbage", "packet error"},
                                            {"cp4", "CP=4"},
                                            {"short", "short"},
                                            {"long", tcp ? "more than expected" : "accepted"}};
        QCOMPARE(verdicts.value(at - 1), judged.value(fault));
        links.removeDuplicates();
        QCOMPARE(links, QStringList(tcp ? "127.0.0.1:" + m_printer->port : "Com1"));
        QBuffer sent;
        QVERIFY(sent.open(QIODevice::WriteOnly) &&
                trace.writeRaw(sent, TrafficRow::Direction::ToPrinter));
        // A sound printer in its place; by the end of its download every byte
        // of the first one has long arrived.
        const std::unique_ptr<ZelsimPrinter> faulty = std::move(m_printer);
        QVERIFY(plugPrinter());
        m_state->ipPort = m_printer->port.toInt();
        m_window->ui().downloadButton->click();
        QTRY_VERIFY(m_window->ui().downloadButton->isEnabled());
        QCOMPARE(m_window->status(), QString("Download Complete"));
        // Traced under the new printer's name.
        QCOMPARE(trace.linkName(trace.row(trace.endNumber() - 1).link),
                 tcp ? "127.0.0.1:" + m_printer->port : "Com1");
        QTRY_COMPARE(m_printer->captured(), all);
        const QByteArray wire = faulty->captured();
        QCOMPARE(faulty->received(), sent.data());
        if (goesOn)
            QVERIFY2(wire.startsWith(upTo) && all.startsWith(wire), wire.constData());
        else
            QCOMPARE(wire, harmless ? all : upTo);
    }

    // The sample set dropped onto the window, as a user trying the program
    // would: the printer receives these heads in this order.
    void droppedSamples_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("heads");
        QTest::newRow("application, format and three lookups")
            << QStringList{"demo.fpc", "label.fmt", "fruit.txt", "stores.lu", "sizes.csv"}
            << QStringList{"{XS,DEMO,1}",
                           "{RK_XXXX_\r\nApple\r\n",
                           "{XE,DEMO}",
                           "{F,2,A,R,E,300,200,\"LABEL\"|",
                           "{R0_XXXX_Apple,1.20|\r\n",
                           "{R5_XXXX_North|\r\n",
                           "{R1_XXXX_S,Small|\r\n",
                           "{S }"};
        QTest::newRow("bundle") << QStringList{"demo.all"}
                                << QStringList{"{XS,DEMOALL,1}", "{R0_XXXX_Apple,1.20|\r\n",
                                               "{R1_XXXX_S,Small|\r\n", "{XE,DEMOALL}", "{S }"};
    }
    void droppedSamples() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, heads);
        m_store->write("LLU", "True");
        QVERIFY(plugPrinter());
        load();
        ModalAnswerer user;
        QStringList paths;
        for (const QString &name : files)
            paths << QStringLiteral(ZELDL_SAMPLES_DIR "/") + name;
        FileDrag drag(*m_window, paths);
        QVERIFY(drag.enter() && drag.drop());
        // The window takes the files once the drop has returned.
        QTRY_VERIFY(m_window->ui().downloadButton->isEnabled());
        m_window->ui().downloadButton->click();
        QCOMPARE(m_window->status(), QString("Download Complete"));
        // A fresh store has other line settings: the user takes the defaults.
        QCOMPARE(user.seen, QStringList{"prompt|Comm Settings"});
        QCOMPARE(m_store->read("Settings", ""), QString("9600,o,7,1"));
        QTRY_VERIFY(m_printer->captured().endsWith("{S }"));
        const QByteArray wire = m_printer->captured();
        qsizetype at = 0;
        for (const QString &head : heads) {
            at = wire.indexOf(head.toLatin1(), at);
            QVERIFY2(at++ >= 0, qPrintable(head + " missing or out of order in " + wire));
        }
    }
};

QTEST_MAIN(tst_Downloads)
#include "tst_downloads.moc"

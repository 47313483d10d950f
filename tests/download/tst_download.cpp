#include "EngineRig.h"
#include "PrinterModels.h"

#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {
// Two awaited packets around a format packet that takes no reply.
const QByteArray kApp = "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n";
const QByteArray kAppWire = "{XA,1}#{F,2,A|\r\n}{XB,2}#";
const QByteArray kFormat = "{F,1,A|\r\nC,10|\r\n}\r\n";
const QByteArray kFormatWire = "{F,1,A|C,10|}";
const QByteArray kTable = "a1\r\na2|\r\n";
const QString kAlone = "Only Q410/12/15/17 & K72e may send lookups w/o config!";
const QByteArray kKeypadPreparation =
    R"({I,E,"~123~044~034~124~125~126~094"|}^MOi^PTX^PTS^PT2^PT2)" + QByteArray(1, '\x18');
QByteArray record(char id) {
    return "{R" + QByteArray(1, id) + "_XXXX_a1|\r\na2|\r\n}#";
}
} // namespace

// What to download, how the printer answers, and what must come of it.
struct Case {
    int model = Printers::Q410;
    int mode = 0;
    QByteArray app = kApp; // empty: no application; "-": a missing file
    QString appName = QStringLiteral("app.fpc");
    QByteArray format{};
    QByteArrayList lookups{};
    int first = 0;
    QByteArrayList replies{};
    QByteArray wire{};
    QString status = QStringLiteral("Download Complete");
    bool error = false;
    bool passThrough = false;
    bool cancelSoon = false;  // the operator presses Cancel as the transfer starts
    bool unreachable = false; // a connection of the sequence's own fails
    QStringList boxes{};
};
Q_DECLARE_METATYPE(Case)

// Whole downloads through the real engine: the bytes on the wire, where
// replies are awaited, the final status text and the flags left behind.
class tst_Download : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void download_data() {
        QTest::addColumn<Case>("c");
        const QString refused = QStringLiteral("{CP=0,P=001,?}");
        const QString timeout = QStringLiteral(" - Download error response timeout");
        const QByteArray lookups = record('0') + "{R2_XXXX_x|\r\n}#" + record('1');
        const auto row = [](const char *name, const Case &c) {
            QTest::newRow(name) << c;
        };
        row("Q412 asks for status first", {.model = Printers::Q412,
                                           .replies = {"ok", "ok", "ok"},
                                           .wire = "{SR}#" + kAppWire + "{S }"});
        row("Cancel during the status wait", {.model = Printers::Q412,
                                              .replies = {"cancel"},
                                              .wire = "{SR}#",
                                              .status = "Cancelled"});
        row("bundle not sent after a silent status", {.model = Printers::Q412,
                                                      .appName = "bundle.all",
                                                      .wire = "{SR}#",
                                                      .status = timeout,
                                                      .error = true});
        row("TCP/IP waits once more and goes on", {.mode = 1,
                                                   .replies = {"none", "none", "ok"},
                                                   .wire = "{XA,1}##{F,2,A|\r\n}{XB,2}#{S }",
                                                   .status = "Download app.fpc error: 1 of 2 "
                                                             "packets got no reply"});
        row("Cancel during a reply wait",
            {.lookups = {kTable}, .replies = {"cancel"}, .wire = "{XA,1}#", .status = "Cancelled"});
        row("Cancel during a lookup's reply wait", {.app = "",
                                                    .lookups = {kTable},
                                                    .replies = {"cancel"},
                                                    .wire = record('0'),
                                                    .status = "Cancelled",
                                                    .error = true});
        row("Cancel while lines go out unanswered",
            {.app = "A|\r\nB|\r\n", .status = "Cancelled", .cancelSoon = true});
        row("lookups alone; a record keeps its number",
            {.app = "",
             .lookups = {kTable, "{R2_XXXX_x|\r\n}\r\n", kTable},
             .replies = {"ok", "ok", "ok"},
             .wire = lookups + "{Q }"});
        row("refused lookup ends the download",
            {.app = "",
             .lookups = {kTable, kTable},
             .first = 8,
             .replies = {"ok", "bad"},
             .wire = record('8') + record('9'),
             .status = "Download 1.txt error: " + refused + " Packet error",
             .error = true});
        row("empty lookup awaits nothing",
            {.app = "",
             .lookups = {kTable, ""},
             .first = 8,
             .replies = {"ok"},
             .wire = record('8'),
             .status = "Download lookup 1.txt error: the printer sent no reply",
             .error = true});
        row("keypad passing lookups through",
            {.model = Printers::K72e,
             .app = "",
             .lookups = {kTable},
             .replies = {"ok"},
             .wire = kKeypadPreparation + "{C0}" + record('0') + "{S }",
             .status = "Resetting Printer ...",
             .passThrough = true});
        // The T540 and T523, the R300 and the keypad.
        row("T540 status refused", {.model = Printers::T540,
                                    .replies = {"bad"},
                                    .wire = "{SR}#",
                                    .status = refused + " - Packet error",
                                    .error = true});
        row("T540 bundle refused: the rest goes on, the refusal stays",
            {.model = Printers::T540,
             .appName = "set.all",
             .format = kFormat,
             .replies = {"bad"},
             .wire = "{SR}#" + kFormatWire + "{S }",
             .status = refused + " - Packet error"});
        row("T523 bundle over TCP/IP, printer unreachable", {.model = Printers::T523,
                                                             .mode = 1,
                                                             .appName = "set.all",
                                                             .replies = {"closed"},
                                                             .wire = "#",
                                                             .status = " - Socket not open",
                                                             .error = true,
                                                             .unreachable = true});
        row("T540 refuses lookups alone; the lookup stage sends them",
            {.model = Printers::T540,
             .app = "",
             .lookups = {kTable},
             .replies = {"ok"},
             .wire = record('0') + "{S }",
             .boxes = {"Download|" + kAlone}});
        row("keypad bundle through, cancelled: nothing after it",
            {.model = Printers::K72e,
             .appName = "set.all",
             .format = kFormat,
             .replies = {"cancel"},
             .wire = kKeypadPreparation + "{XA,1}#",
             .status = "Cancelled",
             .passThrough = true});
        row("format alone, no closing packet", {.app = "", .format = kFormat, .wire = kFormatWire});
        row("a pipe never opened, nothing sent",
            {.app = "|",
             .status = "gone.fpc is not a regular file (a pipe, a device or a folder) and cannot "
                       "be downloaded.",
             .error = true});
        row("missing application", {.app = "-",
                                    .status = "File download error 5 No such file or directory",
                                    .error = true});
    }

    void download() {
        QFETCH(Case, c);
        EngineRig rig;
        rig.state.printer = qint16(c.model);
        rig.state.mode = qint16(c.mode);
        const PrinterModel &model = *PrinterModels::find(c.model);
        rig.view.passThru = c.passThrough;
        const LineDefaults *defaults = PrinterModels::defaultsToOffer(model, c.passThrough, c.mode);
        // The line has the model's settings already: no prompt.
        rig.link.settings =
            defaults ? QLatin1String(defaults->settings) : QStringLiteral("9600,N,8,1");
        rig.link.script = c.replies;
        rig.link.reachable = !c.unreachable;
        if (!c.app.isEmpty())
            rig.set.setApplication(c.app == "-" || c.app == "|" ? rig.dir.filePath("gone.fpc")
                                                                : rig.file(c.appName, c.app));
        if (c.app == "|")
            QCOMPARE(mkfifo(qPrintable(rig.dir.filePath("gone.fpc")), 0600), 0);
        if (!c.format.isEmpty())
            rig.set.setFormat(rig.file("label.fmt", c.format));
        rig.set.setFirstLookup(c.first);
        for (int i = 0; i < c.lookups.size(); ++i)
            rig.set.addLookups({rig.file(QString::number(i) + ".txt", c.lookups[i])});

        // Left from an earlier download.
        rig.state.breakSeen = true;
        if (c.cancelSoon)
            QTimer::singleShot(0, [&] { requestCancel(rig.state, rig.view); });
        rig.engine.command.run();

        QCOMPARE(rig.link.wire, c.wire);
        QCOMPARE(rig.view.current, c.status);
        QCOMPARE(rig.state.downloadError, c.error);
        QCOMPARE(rig.link.connects > 0, c.mode == 1);
        QCOMPARE(rig.view.boxes, c.boxes);
        // The mode dialog shows the link the download used.
        QCOMPARE(rig.state.modeOption, c.mode);
        QVERIFY(!rig.view.locked);
        // After a pass-through download the commands wait for the keypad's reset.
        QCOMPARE(rig.view.downloadEnabled, c.status != "Resetting Printer ...");
        QVERIFY(!rig.view.progressVisible);
        QCOMPARE(rig.view.progressValue, 0);
        QCOMPARE(rig.view.prompts, QStringList());
    }

    // A read error takes the same way out as the end of the file: input
    // emptied, progress back to 0, the caption restored, the error shown.
    void readErrorCleansUp() {
        EngineRig rig;
        rig.set.setApplication(QStringLiteral("/proc/self/mem"));
        rig.link.settings = QStringLiteral("9600,o,7,1");
        rig.engine.command.run();
        QVERIFY2(rig.view.current.startsWith("File download error 1 "),
                 qPrintable(rig.view.current));
        QVERIFY(rig.state.downloadError);
        QCOMPARE(rig.link.inputClears, 1);
        QCOMPARE(rig.view.captions.last(), SettingsStore::applicationName());
        QCOMPARE(rig.link.wire, QByteArray());
    }

    // "Timeout" is read when a download starts, and never gives less than
    // 30 seconds.
    void replyTimeout() {
        EngineRig rig;
        for (const auto &[stored, used] : {std::pair{"45", 45.0f}, std::pair{"5", 30.0f}}) {
            rig.store.write("Timeout", stored);
            rig.engine.command.run();
            QCOMPARE(rig.state.replyTimeout, used);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Download)
#include "tst_download.moc"

#include "FileDrag.h"
#include "FileDropTarget.h"
#include "ModalAnswerer.h"
#include "ScriptedChooser.h"
#include "SerialPortControl.h"
#include "WindowRig.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QString kPrompt = QStringLiteral("Set Printer to Data Transfer/Receive");
const QString kOrder = QStringLiteral(
    "Lookups are sent in the order they were placed in the list. Please make sure you "
    "select them in the order they were defined.");
const QString kMaximum = QStringLiteral("warning|Lookups|You can have a maximum of 10 lookup "
                                        "tables in a configuration.|Ok");
const QString kTooMany = QStringLiteral("warning|Lookups|Too Many Lookup Files! You can have a "
                                        "maximum of 10 lookup tables in a configuration.|Ok");
const QString kBundle = QStringLiteral("none|Corvane\u00ae ZEL Download Utility|You are sending "
                                       "an ALL File. Lookup Files should already be included "
                                       "in this file|Ok");

QString question(const QString &name) {
    return QStringLiteral("question|Format File|") + name +
           QStringLiteral("\r\nUse this file for format?|Yes/No");
}

// "t1.txt,t2.txt,...": the names "lu:#n" chooses.
QString numbered(int n) {
    QStringList names;
    for (int i = 1; i <= n; ++i)
        names << QStringLiteral("t%1.txt").arg(i);
    return names.join(QLatin1Char(','));
}
} // namespace

// The download set through the real window: each row starts from a set built
// with the buttons and the file dialog, takes one action as a user would,
// and compares the list, the enabled controls and the status line.
class tst_DownloadSet : public QObject, protected WindowRig {
    Q_OBJECT
    std::unique_ptr<ScriptedChooser> m_chooser;
    std::unique_ptr<ModalAnswerer> m_answerer;

    QString files() const { return m_dir->filePath(QStringLiteral("files")); }
    QString file(const QString &name) {
        return makeFile(QStringLiteral("files/") + name, "A|\r\n");
    }
    QStringList filesFor(const QString &names) {
        QStringList list;
        const QStringList split = names.startsWith(QLatin1Char('#'))
                                      ? numbered(names.mid(1).toInt()).split(QLatin1Char(','))
                                      : names.split(QLatin1Char(','));
        for (const QString &name : split)
            list << file(name.trimmed());
        return list;
    }
    QListWidget *list() { return find<QListWidget>(QStringLiteral("lookupList")); }

    void click(const QString &name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QPoint itemCentre(int row) { return list()->visualItemRect(list()->item(row)).center(); }

    void drop(const QStringList &paths) {
        FileDrag drag(*m_window, paths);
        if (!drag.enter())
            return;
        QSignalSpy dropped(&m_window->fileDrops(), &FileDropTarget::dropped);
        QVERIFY(drag.drop());
        QVERIFY(dropped.wait());
    }

    void step(const QString &text) {
        const QString verb = text.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString arg = text.section(QLatin1Char(':'), 1).trimmed();
        if (verb == "app" || verb == "fmt" || verb == "lu") {
            m_chooser->answers.push_back(filesFor(arg));
            click(verb == "app"   ? "addAppButton"
                  : verb == "fmt" ? "addFormatButton"
                                  : "addLookupButton");
        } else if (verb == "cancel") {
            m_chooser->answers.push_back(std::nullopt);
            click(arg);
        } else if (verb == "click") {
            click(arg);
        } else if (verb == "select") {
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, itemCentre(arg.toInt()));
        } else if (verb == "dblclick") {
            // What a real double click delivers: press, release, double click, release.
            const QPoint at = itemCentre(arg.toInt());
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
        } else if (verb == "key") {
            const Qt::KeyboardModifiers mods =
                arg.startsWith("ctrl+") ? Qt::ControlModifier : Qt::NoModifier;
            const Qt::Key key = arg.endsWith("up")     ? Qt::Key_Up
                                : arg.endsWith("down") ? Qt::Key_Down
                                                       : Qt::Key_Delete;
            QTest::keyClick(list(), key, mods);
        } else if (verb == "type") {
            QTest::keyClicks(find<QComboBox>("firstLookupList"), arg);
        } else if (verb == "answer") {
            m_answerer->setAnswer(arg == "No" ? QMessageBox::No : QMessageBox::Yes);
        } else if (verb == "drop") {
            drop(filesFor(arg));
        } else {
            QFAIL(qPrintable("unknown step " + text));
        }
    }
    void run(const QString &script) {
        for (const QString &s : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            step(s.trimmed());
            if (QTest::currentTestFailed())
                return;
        }
    }

    QString enabledControls() {
        const MainWindowUi &ui = m_window->ui();
        QStringList names;
        const bool download = ui.downloadButton->isEnabled();
        // The three Download commands always go together.
        if (ui.downloadAction->isEnabled() != download ||
            ui.toolbarDownload->isEnabled() != download)
            names << "download-commands-disagree";
        if (download)
            names << "download";
        for (const char *name :
             {"addAppButton", "removeAppButton", "formatLabel", "formatFileLabel",
              "addFormatButton", "removeFormatButton", "addLookupButton", "removeLookupButton",
              "removeAllButton", "upButton", "downButton", "firstLookupList"}) {
            if (find(QLatin1String(name))->isEnabled())
                names << QLatin1String(name);
        }
        return names.join(QLatin1Char(' '));
    }

private Q_SLOTS:
    void init() {
        resetWindowRig();
        QDir().mkpath(files());
        plugSilentLine(1);
        m_store->write("LLU", "True");
        m_chooser = std::make_unique<ScriptedChooser>();
        m_answerer = std::make_unique<ModalAnswerer>();
        load(m_chooser.get());
    }
    void cleanup() {
        closeWindowRig();
        m_answerer.reset();
        m_chooser.reset();
    }

    void editing_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("when");
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("lookups");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("portOpen");

        const QString appOnly = "download removeAppButton formatLabel formatFileLabel "
                                "addFormatButton addLookupButton firstLookupList";
        const QString initial = "addAppButton addLookupButton firstLookupList";
        const QString bundle = "download removeAppButton firstLookupList";
        const QString withFormat = "download removeAppButton formatLabel formatFileLabel "
                                   "removeFormatButton addLookupButton firstLookupList";
        auto row = [](const char *name) -> QTestData & {
            return QTest::newRow(name);
        };

        // Application
        row("application, empty list") << ""
                                       << "app:APP.FPC"
                                       << "APP.FPC"
                                       << ""
                                       << "" << -1 << appOnly << kPrompt << QStringList{} << true;
        row("application after two lookups")
            << "lu:a.txt,b.txt"
            << "app:APP.FPC"
            << "APP.FPC"
            << ""
            << "a.txt,b.txt" << 1
            << "download removeAppButton formatLabel formatFileLabel addFormatButton "
               "addLookupButton removeLookupButton removeAllButton upButton"
            << kPrompt << QStringList{} << true;
        row("SET.ALL with three lookups listed")
            << "lu:a.txt,b.txt,c.txt"
            << "app:SET.ALL"
            << "SET.ALL"
            << ""
            << "" << -1 << bundle << kPrompt << QStringList{kBundle} << false;
        row("demo.all with an empty list")
            << ""
            << "app:demo.all"
            << "demo.all"
            << ""
            << "" << -1 << bundle << kPrompt << QStringList{} << true;
        row("Set.All is no bundle")
            << "lu:a.txt"
            << "app:Set.All"
            << "Set.All"
            << ""
            << "a.txt" << 0
            << "download removeAppButton formatLabel formatFileLabel addFormatButton "
               "addLookupButton removeLookupButton removeAllButton"
            << kPrompt << QStringList{} << true;
        row("application dialog cancelled")
            << "lu:a.txt"
            << "cancel:addAppButton"
            << ""
            << ""
            << "a.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton" << kOrder
            << QStringList{} << true;
        row("application removed, empty list")
            << "app:APP.FPC"
            << "click:removeAppButton"
            << ""
            << ""
            << "" << -1 << initial << "" << QStringList{} << true;
        row("application removed, the format goes, the lookups stay")
            << "app:APP.FPC; fmt:LABEL.FMT; lu:a.txt,b.txt; select:0"
            << "click:removeAppButton"
            << ""
            << ""
            << "a.txt,b.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton downButton"
            << "" << QStringList{} << true;
        row("bundle removed") << "app:SET.ALL"
                              << "click:removeAppButton"
                              << ""
                              << ""
                              << "" << -1 << initial << "" << QStringList{} << true;

        // Format
        row("LABEL.FMT without a question")
            << "app:APP.FPC"
            << "fmt:LABEL.FMT"
            << "APP.FPC"
            << "LABEL.FMT"
            << "" << -1 << withFormat << kPrompt << QStringList{} << true;
        row("label.fmt without a question")
            << "app:APP.FPC"
            << "fmt:label.fmt"
            << "APP.FPC"
            << "label.fmt"
            << "" << -1 << withFormat << kPrompt << QStringList{} << true;
        row("label.fab asks, Yes")
            << "app:APP.FPC"
            << "answer:Yes; fmt:label.fab"
            << "APP.FPC"
            << "label.fab"
            << "" << -1 << withFormat << kPrompt << QStringList{question("label.fab")} << true;
        row("label.txt asks, No leaves no format")
            << "app:APP.FPC"
            << "answer:No; fmt:label.txt"
            << "APP.FPC"
            << ""
            << "" << -1 << appOnly << kPrompt << QStringList{question("label.txt")} << true;
        row("format removed, the application keeps Download")
            << "app:APP.FPC; fmt:LABEL.FMT"
            << "click:removeFormatButton"
            << "APP.FPC"
            << ""
            << "" << -1 << appOnly << kPrompt << QStringList{} << true;

        // Adding lookups
        row("one lookup")
            << ""
            << "lu:a.txt"
            << ""
            << ""
            << "a.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton" << kOrder
            << QStringList{} << true;
        row("two at once, in the dialog's order")
            << ""
            << "lu:b.txt,a.txt"
            << ""
            << ""
            << "b.txt,a.txt" << 1
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton"
            << kOrder << QStringList{} << true;
        row("the same file twice")
            << "lu:a.txt"
            << "lu:a.txt"
            << ""
            << ""
            << "a.txt,a.txt" << 1
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton"
            << kOrder << QStringList{} << true;
        row("lookup dialog cancelled") << ""
                                       << "cancel:addLookupButton"
                                       << ""
                                       << ""
                                       << "" << -1 << initial << kPrompt << QStringList{} << true;
        row("first 3, six listed, one more: the maximum")
            << "type:3; lu:#6"
            << "lu:g.txt"
            << ""
            << "" << numbered(6) + ",g.txt" << 6
            << "download addAppButton removeLookupButton removeAllButton upButton" << kOrder
            << QStringList{kMaximum} << true;
        row("first 3, six listed, two more: too many empties the list")
            << "type:3; lu:#6"
            << "lu:g.txt,h.txt"
            << ""
            << ""
            << "" << -1 << initial << "" << QStringList{kTooMany} << false;
        row("first 0, nine listed, one more: the maximum")
            << "lu:#9"
            << "lu:j.txt"
            << ""
            << "" << numbered(9) + ",j.txt" << 9
            << "download addAppButton removeLookupButton removeAllButton upButton" << kOrder
            << QStringList{kMaximum} << true;
        row("first 0, eight listed, two more: full without a message")
            << "lu:#8"
            << "lu:i.txt,j.txt"
            << ""
            << "" << numbered(8) + ",i.txt,j.txt" << 9
            << "download addAppButton removeLookupButton removeAllButton upButton" << kOrder
            << QStringList{} << true;
        row("first number typed counts")
            << "type:5; lu:#4"
            << "lu:e.txt"
            << ""
            << "" << numbered(4) + ",e.txt" << 4
            << "download addAppButton removeLookupButton removeAllButton upButton" << kOrder
            << QStringList{kMaximum} << true;
        row("full list: removing one enables Add")
            << "lu:#9; lu:j.txt"
            << "click:removeLookupButton"
            << ""
            << "" << numbered(9) << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton "
               "downButton"
            << kOrder << QStringList{} << true;
        row("full list: an application keeps Add disabled")
            << "lu:#9; lu:j.txt"
            << "app:APP.FPC"
            << "APP.FPC"
            << "" << numbered(9) + ",j.txt" << 9
            << "download removeAppButton formatLabel formatFileLabel addFormatButton "
               "removeLookupButton removeAllButton upButton"
            << kPrompt << QStringList{} << true;

        // Removing and moving
        row("removal selects the first; Up there changes nothing")
            << "lu:a.txt,b.txt,c.txt; select:1"
            << "click:removeLookupButton; click:upButton"
            << ""
            << ""
            << "a.txt,c.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton "
               "downButton"
            << kOrder << QStringList{} << true;
        row("Up moves the entry and keeps it selected")
            << "lu:a.txt,b.txt,c.txt; select:1"
            << "click:upButton"
            << ""
            << ""
            << "b.txt,a.txt,c.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton downButton"
            << kOrder << QStringList{} << true;
        row("Down moves the entry and keeps it selected")
            << "lu:a.txt,b.txt,c.txt; select:1"
            << "click:downButton"
            << ""
            << ""
            << "a.txt,c.txt,b.txt" << 2
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton"
            << kOrder << QStringList{} << true;
        row("Ctrl+Down on the last changes nothing")
            << "lu:a.txt,b.txt,c.txt"
            << "key:ctrl+down"
            << ""
            << ""
            << "a.txt,b.txt,c.txt" << 2
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton"
            << kOrder << QStringList{} << true;
        row("Ctrl+Up moves the entry") << "lu:a.txt,b.txt,c.txt"
                                       << "key:ctrl+up"
                                       << ""
                                       << ""
                                       << "a.txt,c.txt,b.txt" << 1
                                       << "download addAppButton addLookupButton "
                                          "removeLookupButton removeAllButton upButton downButton"
                                       << kOrder << QStringList{} << true;
        row("Delete removes the current entry")
            << "lu:a.txt,b.txt,c.txt; select:1"
            << "key:delete"
            << ""
            << ""
            << "a.txt,c.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton "
               "downButton"
            << kOrder << QStringList{} << true;
        row("double click removes the entry")
            << "lu:a.txt,b.txt,c.txt"
            << "dblclick:0"
            << ""
            << ""
            << "b.txt,c.txt" << 0
            << "download addAppButton addLookupButton removeLookupButton removeAllButton upButton "
               "downButton"
            << kOrder << QStringList{} << true;
        row("last lookup removed, no application")
            << "lu:a.txt"
            << "click:removeLookupButton"
            << ""
            << ""
            << "" << -1 << initial << "" << QStringList{} << true;
        row("last lookup removed, application chosen")
            << "app:APP.FPC; lu:a.txt"
            << "click:removeLookupButton"
            << "APP.FPC"
            << ""
            << "" << -1 << appOnly << kPrompt << QStringList{} << true;
        row("Remove All closes the port") << "lu:a.txt,b.txt"
                                          << "click:removeAllButton"
                                          << ""
                                          << ""
                                          << "" << -1 << initial << "" << QStringList{} << false;
        row("Remove All keeps the application and its format")
            << "app:APP.FPC; fmt:LABEL.FMT; lu:a.txt"
            << "click:removeAllButton"
            << "APP.FPC"
            << "LABEL.FMT"
            << "" << -1 << withFormat << kPrompt << QStringList{} << false;

        // Dropped files
        row("drop: application, format and lookups")
            << ""
            << "drop:APP.FPC,b.txt,LABEL.FMT,a.txt"
            << "APP.FPC"
            << "LABEL.FMT"
            << "b.txt,a.txt" << 1
            << "download removeAppButton formatLabel formatFileLabel removeFormatButton "
               "addLookupButton removeLookupButton removeAllButton "
               "upButton"
            << kOrder << QStringList{} << true;
        row("drop: a second application is refused")
            << "app:APP.FPC"
            << "drop:OTHER.CFU"
            << "APP.FPC"
            << ""
            << "" << -1 << appOnly << kPrompt << QStringList{} << true;
        row("drop: label.fab asks")
            << "app:APP.FPC"
            << "answer:No; drop:label.fab"
            << "APP.FPC"
            << ""
            << "" << -1 << appOnly << kPrompt << QStringList{question("label.fab")} << true;
        row("drop: a bundle takes no lookups")
            << ""
            << "drop:SET.ALL,a.txt"
            << "SET.ALL"
            << ""
            << "" << -1 << bundle << kPrompt << QStringList{} << true;
        row("drop: one lookup at the limit warns")
            << "lu:#9"
            << "drop:j.txt"
            << ""
            << "" << numbered(9) + ",j.txt" << 9
            << "download addAppButton removeLookupButton removeAllButton upButton" << kOrder
            << QStringList{kMaximum} << true;
    }
    void editing() {
        QFETCH(QString, given);
        QFETCH(QString, when);
        QFETCH(QString, app);
        QFETCH(QString, format);
        QFETCH(QString, lookups);
        QFETCH(int, current);
        QFETCH(QString, enabled);
        QFETCH(QString, status);
        QFETCH(QStringList, messages);
        QFETCH(bool, portOpen);

        run(given);
        if (QTest::currentTestFailed())
            return;
        m_answerer->seen.clear();
        run(when);
        if (QTest::currentTestFailed())
            return;

        const MainWindowUi &ui = m_window->ui();
        QStringList names;
        for (int i = 0; i < ui.lookupList->count(); ++i)
            names << ui.lookupList->item(i)->text();
        QCOMPARE(names.join(QLatin1Char(',')), lookups);
        QCOMPARE(ui.lookupList->currentRow(), current);
        // The hidden twin holds the full paths, in the same order, on the same row.
        QCOMPARE(ui.lookupPaths->count(), ui.lookupList->count());
        for (int i = 0; i < ui.lookupPaths->count(); ++i)
            QCOMPARE(ui.lookupPaths->item(i)->text(), files() + QLatin1Char('/') + names.at(i));
        QCOMPARE(ui.lookupPaths->currentRow(), current);

        QCOMPARE(ui.appFileLabel->text(), app);
        QCOMPARE(m_state->appTitle, app);
        QCOMPARE(m_state->appPath, app.isEmpty() ? QString() : files() + '/' + app);
        QCOMPARE(m_state->isBundle, app.contains(".all") || app.contains(".ALL"));
        QCOMPARE(ui.formatFileLabel->text(), format);
        QCOMPARE(m_state->formatPath, format.isEmpty() ? QString() : files() + '/' + format);
        QCOMPARE(enabledControls(), enabled);
        QCOMPARE(m_window->status(), status);
        QCOMPARE(m_answerer->seen, messages);
        QCOMPARE(m_window->serialPort().isOpen(), portOpen);
    }

    void dialogsAreAskedForWithTheirFilters() {
        run("app:APP.FPC; fmt:LABEL.FMT; lu:a.txt,b.txt");
        QCOMPARE(m_chooser->requests.size(), 3);
        const FileRequest &app = m_chooser->requests.at(0);
        const FileRequest &format = m_chooser->requests.at(1);
        const FileRequest &lookups = m_chooser->requests.at(2);
        for (const FileRequest &r : m_chooser->requests) {
            QCOMPARE(r.title, QString("File Open"));
            QCOMPARE(r.filterIndex, 1);
        }
        QCOMPARE(app.filter,
                 QString("FPC(*.fpc) CFU(*.cfu) ALL(*.all)|*.fpc;*.cfu;*.all|All Files (*.*)|*.*"));
        QVERIFY(!app.multiple);
        QCOMPARE(format.filter, QString("FMT(*.fmt) FAB(*.fab)|*.fmt;*.fab|TXT(*.txt)|*.txt|All "
                                        "Files (*.*)|*.*"));
        QVERIFY(!format.multiple);
        QCOMPARE(lookups.filter, QString("TXT(*.txt) LU(*.lu) DAT(*.dat) PAC(*.pac) "
                                         "CSV(*.csv)|*.txt;*.lu;*.dat;*.pac;*.csv|All Files "
                                         "(*.*)|*.*"));
        QVERIFY(lookups.multiple);
    }

    void lookupCountStartsAgainAfterEachChange() {
        run("lu:a.txt");
        m_state->nextLookupNumber = 7; // as a download leaves it
        run("app:APP.FPC");
        QCOMPARE(m_state->nextLookupNumber, qint16(0));
        m_state->nextLookupNumber = 7;
        run("click:removeAllButton");
        QCOMPARE(m_state->nextLookupNumber, qint16(0));
        m_state->nextLookupNumber = 7;
        run("click:removeAppButton");
        QCOMPARE(m_state->nextLookupNumber, qint16(0));
    }

    void dropsOnlyWhereTheButtonsCouldTakeThem() {
        // The standard view holds no lookups; a locked window takes nothing.
        find<QAction>("standardViewAction")->trigger();
        run("drop:a.txt");
        QCOMPARE(list()->count(), 0);
        m_window->setDownloadLocked(true);
        run("drop:APP.FPC");
        QCOMPARE(m_window->ui().appFileLabel->text(), QString());
        m_window->setDownloadLocked(false);
        run("drop:APP.FPC");
        QCOMPARE(m_window->ui().appFileLabel->text(), QString("APP.FPC"));
    }
};

QTEST_MAIN(tst_DownloadSet)
#include "tst_downloadset.moc"

#pragma once

#include "DownloadSet.h"
#include "InstanceLock.h"
#include "MainWindow.h"
#include "ModalAnswerer.h"
#include "PtyPair.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QtTest>

// The real window on a fresh state and store, with the case's settings and
// working file in a folder of its own. A test class derives from it, calls
// resetWindowRig() before each case and closeWindowRig() after it, or runs
// rows of settings, steps and facts through open(), act() and observe().
class WindowRig {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<DownloadSet> m_set;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;
    // Every text the window put on its status line, in order.
    QStringList m_statuses;
    // The user of open(): answers as a ModalAnswerer does and types m_typed,
    // one entry a dialog, into the file dialogs.
    std::unique_ptr<ModalAnswerer> m_user;
    QStringList m_typed;
    // Held by the window open() opens.
    std::unique_ptr<InstanceLock> m_lock;

    void resetWindowRig() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", m_dir->filePath(QStringLiteral("cache")).toUtf8());
        // The instance lock too.
        qputenv("XDG_RUNTIME_DIR", m_dir->path().toUtf8());
        m_state = std::make_unique<SharedState>();
        m_set = std::make_unique<DownloadSet>();
        m_store = std::make_unique<SettingsStore>();
        m_statuses.clear();
        // A close path before ended the event loop for good; dialogs need one.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(); });
        QCoreApplication::exec();
    }
    // The window gives up the line before the line goes.
    void closeWindowRig() {
        m_window.reset();
        m_pty.reset();
    }
    // A pseudo-terminal with nobody on its other end, as Com`port`.
    void plugSilentLine(int port) {
        m_pty = std::make_unique<PtyPair>();
        qputenv("ZELDL_COM" + QByteArray::number(port), m_pty->slavePath().toLocal8Bit());
    }
    // Opens the window as the program starts it, on the store as it is.
    MainWindow &load(InstanceLock *lock = nullptr) {
        m_window = std::make_unique<MainWindow>(*m_state, *m_set, *m_store, lock);
        QObject::connect(m_window.get(), &MainWindow::statusWritten, m_window.get(),
                         [this](const QString &text) { m_statuses << text; });
        m_window->restoreSettings();
        m_window->show();
        return *m_window;
    }
    template <class T = QWidget> T *find(const QString &n) { return m_window->findChild<T *>(n); }
    // `name` in the case's folder, written with `bytes`.
    QString makeFile(const QString &name, const QByteArray &bytes) {
        QFile f(m_dir->filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) >= 0 ? f.fileName() : QString();
    }
    // The texts appear in this order (others may come between them).
    bool statusesInOrder(const QStringList &expected) const {
        qsizetype next = 0; // just after the last one found; -1 once one is missing
        for (const QString &text : expected)
            if (next >= 0 && (next = m_statuses.indexOf(text, next)) >= 0)
                ++next;
        if (next < 0)
            qWarning() << "missing in order:" << expected << "in" << m_statuses;
        return next >= 0;
    }

    // The control so named, or so named with "Button" after it.
    QObject *control(const QString &name) {
        return find<QObject>(name) ? find<QObject>(name) : find<QObject>(name + "Button");
    }
    // Each of the blank-separated controls (widgets or actions) by its
    // letter when it is enabled, '.' when not.
    QString enabled(const QString &letters, const QString &names) {
        QList<bool> bits;
        for (const QString &name : names.split(QLatin1Char(' ')))
            bits << control(name)->property("enabled").toBool();
        return flags(letters, bits);
    }
    static QString flags(const QString &letters, const QList<bool> &bits) {
        QString text;
        for (const bool bit : bits)
            text += bit ? letters[text.size()] : QLatin1Char('.');
        return text;
    }

    // Writes `settings` ("Key=text;...") to the store.
    void store(const QString &settings) {
        for (const QString &s : settings.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            m_store->write(s.section(QLatin1Char('='), 0, 0), s.section(QLatin1Char('='), 1));
    }
    // A fresh window on Com1 holding the instance lock, the store holding
    // `settings` ("Key=text;...").
    void open(const QString &settings) {
        closeWindowRig();
        m_lock = std::make_unique<InstanceLock>(); // the last one gone before its folder
        resetWindowRig();
        plugSilentLine(1);
        store(settings);
        m_typed.clear();
        m_user = std::make_unique<ModalAnswerer>();
        m_user->setFileDialogHandler([this](QFileDialog *dialog) { typeInto(dialog); });
        m_lock->tryTake();
        load(m_lock.get());
    }
    // Steps separated by ';' as a user takes them, each a control(): a
    // button is clicked (after the files named after ':' were made and put
    // in m_typed; none: the dialog is cancelled), an action triggered, a list
    // set to the entry after '='; the window's own name closes it.
    // "answer=No" or "answer=Cancel" changes the user's answer.
    void act(const QString &steps) {
        for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString name = step.section(QRegularExpression(QStringLiteral("[:=]")), 0, 0);
            const QString arg = step.mid(name.size() + 1);
            const QStringList files = step.section(':', 1).split(',', Qt::SkipEmptyParts);
            QObject *target = name == m_window->objectName() ? m_window.get() : control(name);
            if (name == "answer")
                m_user->setAnswer(arg == "No" ? QMessageBox::No : QMessageBox::Cancel);
            for (const QString &file : files)
                makeFile(file, "A|\r\n");
            if (!files.isEmpty())
                m_typed << '"' + files.join("\" \"") + '"';
            if (auto *list = qobject_cast<QComboBox *>(target))
                list->setCurrentIndex(arg.toInt());
            else
                QMetaObject::invokeMethod(target, target == m_window.get()          ? "close"
                                                  : qobject_cast<QAction *>(target) ? "trigger"
                                                                                    : "click");
            // What it sent is on the line before the next step.
            (void)QTest::qWaitFor([this] { return m_window->serialPort().bytesToWrite() == 0; });
        }
    }
    // Types the next entry of m_typed into the name box of Qt's file dialog
    // in the case's folder and presses Enter; with none left it cancels.
    void typeInto(QFileDialog *d) {
        if (m_typed.isEmpty())
            return d->reject();
        const QString typed = m_typed.takeFirst();
        d->setDirectory(m_dir->path());
        d->findChild<QLineEdit *>("fileNameEdit")->setText(typed);
        QTest::keyClick(d->findChild<QLineEdit *>("fileNameEdit"), Qt::Key_Return);
        // Its title, all files as the last choice, several names only where
        // several may be chosen (checked once it is answered: it stays until
        // it is).
        QCOMPARE(d->windowTitle() + d->nameFilters().last(), "File OpenAll Files (*.*) (*)");
        QVERIFY(typed.count('"') == 2 || d->fileMode() == QFileDialog::ExistingFiles);
    }
    // Status lines and boxes ("icon|title|text|buttons") that rows name by
    // the code before their first blank, one a line.
    static QMap<QString, QString> texts() {
        QMap<QString, QString> map;
        const QString lines =
            QStringLiteral(
                "P Set Printer to Data Transfer/Receive\n"
                "O Lookups are sent in the order they were placed in the list. Please make sure "
                "you select them in the order they were defined.\n"
                "M warning|Lookups|You can have a maximum of 10 lookup tables in a "
                "configuration.|Ok\n"
                "T warning|Lookups|Too Many Lookup Files! You can have a maximum of 10 lookup "
                "tables in a configuration.|Ok\n"
                "B none|%1|You are sending an ALL File. Lookup Files should already be included in "
                "this file|Ok\n"
                "Q question|Format File|LABEL.FAB\r\nUse this file for format?|Yes/No\n"
                "q question|Format File|label.txt\r\nUse this file for format?|Yes/No\n"
                "G warning|Incorrect Mode|TCP Mode is not available for this printer - Defaulting "
                "to Serial Mode|Ok\n"
                "K warning|Incorrect Mode|TCP Mode is not available for the K72e Keyboard "
                "Directly(TCP is Only Available using Pass Through Mode) - Defaulting to Serial "
                "Mode|Ok\n"
                "D prompt|Comm Settings")
                .arg(SettingsStore::applicationName());
        for (const QString &line : lines.split(QRegularExpression(QStringLiteral("\n(?=. )"))))
            map[line.section(QLatin1Char(' '), 0, 0)] = line.section(QLatin1Char(' '), 1);
        return map;
    }
    // The facts `expected` names ("name=value;..."), as the window shows
    // them now. set: application,format,first number,lookups... with '*'
    // after the current one; on, view, closed: flags (see below); a name in
    // capitals: the stored setting ("-" when none).
    QString observe(const QString &expected) {
        const MainWindowUi &ui = m_window->ui();
        const int current = ui.lookupList->currentRow();
        const QString first = QString::number(m_set->firstLookup());
        QStringList set{m_set->applicationName(), m_set->formatName(), first}, boxes, facts;
        QStringList shown{ui.appFileLabel->text(), ui.formatFileLabel->text(), first};
        for (const DownloadSet::Lookup &lookup : m_set->lookups())
            set << lookup.name + (set.size() - 3 == current ? "*" : "");
        for (int i = 0; i < ui.lookupList->count(); ++i)
            shown << ui.lookupList->item(i)->text() + (i == current ? "*" : "");
        for (const QString &box : m_user->seen)
            boxes << texts().key(box, box);
        const bool wide = ui.lookupGroup->isVisible();
        const QMap<QString, QString> all{
            {"set", set.join(',') + (set == shown ? QString() : " shown as " + shown.join(','))},
            // add and remove App, Fmt, a lookup; Remove All, Up, Down; the
            // first number; the three Download commands; Close, Cancel; port open
            {"on",
             enabled(
                 "AaFfLlXUDNGGGCc",
                 "addApp removeApp addFormat removeFormat addLookup removeLookup removeAll up down "
                 "firstLookupList download downloadAction Download close cancel") +
                 flags("P", {m_window->serialPort().isOpen()})},
            {"status", texts().key(m_window->status(), m_window->status())},
            {"boxes", boxes.join(',')},
            {"printer", ui.printerList->currentText()},
            {"link", ui.modePanel->text() + '|' + ui.linkPanel->text() + '|' +
                         m_window->serialPort().settings()},
            // width right (at 96 dpi) for the frames shown; lookup frame shown;
            // w/Lookup File, Standard, Lookup File box checked; pass-through
            // box shown, checked; Default Comm Settings Check checked; window
            // centred on the screen
            {"view",
             flags("WGLSBVPDC",
                   {m_window->width() == m_window->scaledWidth(wide ? 656 : 389), wide,
                    ui.lookupViewAction->isChecked(), ui.standardViewAction->isChecked(),
                    ui.lookupBox->isChecked(), ui.passThroughBox->isVisible(),
                    ui.passThroughBox->isChecked(), ui.defaultCheckAction->isChecked(),
                    (m_window->frameGeometry().center() - m_window->screen()->geometry().center())
                            .manhattanLength() <= 2})},
            {"sent", QString::fromLatin1(m_pty->readAvailable())},
            // exit asked; window shown; port open; lock held
            {"closed", flags("EWPL", {m_state->exitRequested, m_window->isVisible(),
                                      m_window->serialPort().isOpen(), m_lock->isHeld()})}};
        for (const QString &fact : expected.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString key = fact.section(QLatin1Char('='), 0, 0);
            facts << key + '=' + (key[0].isUpper() ? m_store->read(key, "-") : all.value(key));
        }
        return facts.join(QLatin1Char(';'));
    }
    // Rows of {stored settings, steps, facts after them}, run by runRow().
    static void addRows(const QList<QStringList> &rows) {
        QTest::addColumn<QStringList>("row");
        for (const QStringList &row : rows)
            QTest::addRow("%s %s", qPrintable(row[0]), qPrintable(row[1])) << row;
    }
    void runRow() {
        QFETCH(QStringList, row);
        open(row[0]);
        act(row[1]);
        QCOMPARE(observe(row[2]), row[2]);
    }
};

#include "DownloadSetRules.h"
#include "ModalAnswerer.h"
#include "QtFileChooser.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Qt's file dialog as the program opens it: its title, filters and mode,
// the order of several chosen files, and the folder it starts in.
class tst_FileChooser : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ModalAnswerer> m_answerer;

    QString makeFile(const QString &folder, const QString &name) {
        QDir().mkpath(m_dir->filePath(folder));
        const QString path = m_dir->filePath(folder + '/' + name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("A|\r\n");
        return path;
    }
    static FileRequest request(const QString &filter, bool multiple) {
        FileRequest r;
        r.title = "File Open";
        r.filter = filter;
        r.multiple = multiple;
        return r;
    }
    // Types the names into the file name box, as a user would, and presses
    // Enter.
    static void type(QFileDialog *dialog, const QString &folder, const QString &text) {
        dialog->setDirectory(folder);
        auto *view = dialog->findChild<QAbstractItemView *>("listView");
        // Typed once the folder shows, as a user would.
        QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) > 0);
        auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(edit);
        edit->setFocus();
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
        qputenv("XDG_CACHE_HOME", m_dir->filePath("cache").toUtf8());
        m_answerer = std::make_unique<ModalAnswerer>();
    }
    void cleanup() { m_answerer.reset(); }

    void dialogsShowTheirFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("application")
            << DownloadSetRules::applicationFilter() << false
            << QStringList{"FPC(*.fpc) CFU(*.cfu) ALL(*.all)", "All Files (*.*)"};
        QTest::newRow("format") << DownloadSetRules::formatFilter() << false
                                << QStringList{"FMT(*.fmt) FAB(*.fab)", "TXT(*.txt)",
                                               "All Files (*.*)"};
        QTest::newRow("lookups") << DownloadSetRules::lookupFilter() << true
                                 << QStringList{
                                        "TXT(*.txt) LU(*.lu) DAT(*.dat) PAC(*.pac) CSV(*.csv)",
                                        "All Files (*.*)"};
    }
    void dialogsShowTheirFilters() {
        QFETCH(QString, filter);
        QFETCH(bool, multiple);
        QFETCH(QStringList, shown);
        QString title;
        QStringList filters;
        QString selected;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        m_answerer->setFileDialogHandler([&](QFileDialog *d) {
            title = d->windowTitle();
            mode = d->fileMode();
            selected = d->selectedNameFilter();
            if (auto *combo = d->findChild<QComboBox *>("fileTypeCombo")) {
                for (int i = 0; i < combo->count(); ++i)
                    filters << combo->itemText(i);
            }
            d->reject();
        });
        QtFileChooser chooser;
        QVERIFY(!chooser.choose(nullptr, request(filter, multiple)));
        m_answerer->setFileDialogHandler({});
        QCOMPARE(title, QString("File Open"));
        QCOMPARE(filters, shown);
        QVERIFY(selected.startsWith(shown.first()));
        QCOMPARE(mode, multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        QCOMPARE(chooser.lastFolder(), QString()); // a cancel remembers nothing
    }

    void nextDialogStartsInTheLastFolder() {
        const QString app = makeFile("apps", "APP.FPC");
        makeFile("tables", "a.txt");
        QString startedIn;
        const QString cwd = QDir::currentPath();
        const QString apps = m_dir->filePath("apps");
        m_answerer->setFileDialogHandler([apps](QFileDialog *d) { type(d, apps, "APP.FPC"); });
        QtFileChooser chooser;
        const auto first =
            chooser.choose(nullptr, request(DownloadSetRules::applicationFilter(), false));
        QVERIFY(first);
        QCOMPARE(*first, QStringList{app});
        m_answerer->setFileDialogHandler([&startedIn](QFileDialog *d) {
            startedIn = d->directory().absolutePath();
            d->reject();
        });
        QVERIFY(!chooser.choose(nullptr, request(DownloadSetRules::lookupFilter(), true)));
        m_answerer->setFileDialogHandler({});
        QCOMPARE(startedIn, QDir(apps).absolutePath());
        QCOMPARE(QDir::currentPath(), cwd); // the program's own folder stays
    }

    void typedNamesComeBackInTheirOrder() {
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            makeFile("data", name);
        const QString folder = m_dir->filePath("data");
        m_answerer->setFileDialogHandler(
            [folder](QFileDialog *d) { type(d, folder, "\"c.txt\" \"a.txt\" \"b.txt\""); });
        QtFileChooser chooser;
        const auto files = chooser.choose(nullptr, request(DownloadSetRules::lookupFilter(), true));
        QVERIFY(files);
        QCOMPARE(*files, (QStringList{folder + "/c.txt", folder + "/a.txt", folder + "/b.txt"}));
    }
};

QTEST_MAIN(tst_FileChooser)
#include "tst_filechooser.moc"

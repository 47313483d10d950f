#include "DownloadSetRules.h"
#include "FileFilter.h"

#include <QRegularExpression>
#include <QTest>

using namespace DownloadSetRules;

// The set's rules that need no window, and what the dialog's filters offer.
class tst_EditorRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAndKinds_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("bundle");
        QTest::addColumn<bool>("formatWithoutQuestion");
        QTest::addColumn<int>("kind");
        const int app = int(FileKind::Application), fmt = int(FileKind::Format),
                  lu = int(FileKind::Lookup), other = int(FileKind::Other);
        QTest::newRow("unix path") << "/home/op/APP.FPC"
                                   << "APP.FPC" << false << false << app;
        QTest::newRow("windows path") << "C:\\data\\A.txt"
                                      << "A.txt" << false << false << lu;
        QTest::newRow("mixed separators") << "/mnt/c\\data\\t.lu"
                                          << "t.lu" << false << false << lu;
        QTest::newRow("bare name") << "label.fab"
                                   << "label.fab" << false << false << fmt;
        QTest::newRow("SET.ALL") << "/x/SET.ALL"
                                 << "SET.ALL" << true << false << app;
        QTest::newRow("set.all") << "/x/set.all"
                                 << "set.all" << true << false << app;
        QTest::newRow("Set.All is no bundle") << "/x/Set.All"
                                              << "Set.All" << false << false << app;
        QTest::newRow(".all inside a name") << "/x/a.all.cfu"
                                            << "a.all.cfu" << true << false << app;
        QTest::newRow("a folder named .all") << "/x.all/APP.FPC"
                                             << "APP.FPC" << false << false << app;
        QTest::newRow("LABEL.FMT") << "/x/LABEL.FMT"
                                   << "LABEL.FMT" << false << true << fmt;
        QTest::newRow("label.Fmt") << "/x/label.Fmt"
                                   << "label.Fmt" << false << true << fmt;
        QTest::newRow("label.txt") << "/x/label.txt"
                                   << "label.txt" << false << false << lu;
        QTest::newRow("csv") << "/x/T.CSV"
                             << "T.CSV" << false << false << lu;
        QTest::newRow("no extension") << "/x/README"
                                      << "README" << false << false << other;
        QTest::newRow("unknown extension") << "/x/a.bin"
                                           << "a.bin" << false << false << other;
    }
    void namesAndKinds() {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(bool, bundle);
        QFETCH(bool, formatWithoutQuestion);
        QFETCH(int, kind);
        QCOMPARE(fileTitle(path), title);
        QCOMPARE(isAllFile(fileTitle(path)), bundle);
        QCOMPARE(isFormatName(fileTitle(path)), formatWithoutQuestion);
        QCOMPARE(int(kindOf(path)), kind);
    }

    // A dialog that matches names with case, as some platform dialogs do.
    void filtersOffer_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("offered");
        const QString app = applicationFilter(), fmt = formatFilter(), lu = lookupFilter();
        QTest::newRow("app.fpc") << app << 0 << "app.fpc" << true;
        QTest::newRow("APP.FPC") << app << 0 << "APP.FPC" << true;
        QTest::newRow("SET.ALL") << app << 0 << "SET.ALL" << true;
        QTest::newRow("label.fmt is no application") << app << 0 << "label.fmt" << false;
        QTest::newRow("all files: no extension") << app << 1 << "README" << true;
        QTest::newRow("all files: any extension") << app << 1 << "label.fmt" << true;
        QTest::newRow("format .FAB") << fmt << 0 << "LABEL.FAB" << true;
        QTest::newRow("format TXT filter") << fmt << 1 << "label.txt" << true;
        QTest::newRow("format .txt not in the first") << fmt << 0 << "label.txt" << false;
        QTest::newRow("lookup .pac") << lu << 0 << "t.pac" << true;
        QTest::newRow("lookup .DAT") << lu << 0 << "T.DAT" << true;
        QTest::newRow("lookup .fpc") << lu << 0 << "a.fpc" << false;
    }
    void filtersOffer() {
        QFETCH(QString, filter);
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(bool, offered);
        const QStringList filters = FileFilter::toNameFilters(filter);
        bool matched = false;
        for (const QString &pattern : FileFilter::patterns(filters.at(index))) {
            const auto re = QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive);
            matched = matched || re.match(name).hasMatch();
        }
        QCOMPARE(matched, offered);
    }
};

QTEST_GUILESS_MAIN(tst_EditorRules)
#include "tst_editorrules.moc"

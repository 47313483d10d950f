#include "HelpTarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// What Help opens for a program installed under a prefix, run from a build
// folder, or given a compiled help file beside it.
class tst_HelpTarget : public QObject {
    Q_OBJECT

    // Makes the files named, relative to `root` ("bin/ZELDL.chm", ...); a
    // name ending in "/" is a folder.
    static void lay(const QDir &root, const QStringList &entries) {
        for (const QString &entry : entries) {
            if (entry.endsWith(QLatin1Char('/'))) {
                QVERIFY(root.mkpath(entry));
                continue;
            }
            QVERIFY(root.mkpath(QFileInfo(entry).path()));
            QFile file(root.filePath(entry));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

private Q_SLOTS:
    void opens_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("expected"); // relative to the root; "" for none
        const QString guide = QStringLiteral("usr/share/zeldl/guide/index.html");
        const QString source = QStringLiteral("src/docs/guide/index.html");
        QTest::newRow("help file beside the program wins")
            << QStringList{"usr/bin/ZELDL.chm", guide, source} << "usr/bin/ZELDL.chm";
        QTest::newRow("installed guide") << QStringList{"usr/bin/", guide, source} << guide;
        QTest::newRow("build folder: the source tree's guide")
            << QStringList{"usr/bin/", source} << source;
        QTest::newRow("guide folder without its index")
            << QStringList{"usr/bin/", "usr/share/zeldl/guide/style.css", "src/docs/guide/"} << "";
        QTest::newRow("nothing") << QStringList{"usr/bin/"} << "";
    }
    void opens() {
        QFETCH(QStringList, entries);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QDir root(dir.path());
        lay(root, entries);
        const QString found =
            HelpTarget::find(root.filePath("usr/bin"), root.filePath("src/docs/guide"));
        QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(tst_HelpTarget)
#include "tst_helptarget.moc"

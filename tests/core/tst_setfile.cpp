#include "DownloadSetFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Link = DownloadSetFile::Link;
Q_DECLARE_METATYPE(std::optional<Link>)

namespace {
QString makeFile(const QString &path, const QByteArray &bytes = "x\r\n") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}

QStringList lookupPaths(const DownloadSet &set) {
    QStringList paths;
    for (const DownloadSet::Lookup &lookup : set.lookups())
        paths << lookup.path;
    return paths;
}
} // namespace

// Download set files: a set saved, its folder moved, opened again is the
// same set; what cannot be read changes nothing and says why.
class tst_SetFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void savedSetMovesWithItsFolder_data() {
        QTest::addColumn<std::optional<Link>>("link");
        QTest::newRow("no link") << std::optional<Link>();
        QTest::newRow("serial") << std::optional<Link>(Link{0, 3, "9600,o,7,1", 2, {}, 9100});
        QTest::newRow("TCP/IP") << std::optional<Link>(
            Link{1, 1, "9600,N,8,1", 1, "10.0.0.7", 9101});
    }
    void savedSetMovesWithItsFolder() {
        QFETCH(std::optional<Link>, link);
        const QString folder = m_dir.filePath(QTest::currentDataTag());
        DownloadSetFile saved;
        saved.printer = 3;
        saved.passThrough = true;
        saved.link = link;
        saved.set.setApplication(makeFile(folder + "/app.fpc"));
        saved.set.setFormat(makeFile(folder + "/label, 1.fmt"));
        saved.set.setFirstLookup(2);
        saved.set.addLookups({makeFile(folder + "/tables/z.txt"), makeFile(folder + "/ä b.csv")});
        const QString path = folder + "/set.zelset";
        // A longer set saved there before must leave nothing behind.
        DownloadSetFile longer = saved;
        longer.set.addLookups({makeFile(folder + "/old1.txt"), makeFile(folder + "/old2.txt")});
        longer.link = Link{1, 1, "9600,N,8,1", 1, "10.9.9.9", 9100};
        QString error;
        QVERIFY(longer.write(path, &error));
        QVERIFY2(saved.write(path, &error), qPrintable(error));

        const QString moved = folder + "-moved";
        QVERIFY(QDir().rename(folder, moved));
        const DownloadSetFile::ReadResult read = DownloadSetFile::read(moved + "/set.zelset");
        QVERIFY2(read.ok(), qPrintable(read.message));
        QVERIFY(read.missing.isEmpty() && read.message.isEmpty());
        const DownloadSetFile &opened = read.content;
        QCOMPARE(opened.printer, qint16(3));
        QVERIFY(opened.passThrough);
        QCOMPARE(opened.set.applicationPath(), moved + "/app.fpc");
        QCOMPARE(opened.set.formatPath(), moved + "/label, 1.fmt");
        QCOMPARE(opened.set.firstLookup(), 2);
        QCOMPARE(lookupPaths(opened.set),
                 QStringList({moved + "/tables/z.txt", moved + "/ä b.csv"}));
        QVERIFY(opened.link == link);
    }

    void unreadableSets_data() {
        QTest::addColumn<QByteArray>("content"); // "-" no file, "/" a folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const auto row = [](const char *name, const QByteArray &content,
                            DownloadSetFile::Status status, const char *says) {
            QTest::newRow(name) << content << int(status) << QString(says);
        };
        using S = DownloadSetFile::Status;
        const QByteArray head = "[DownloadSet]\nVersion=1\nModel=Q410\n";
        row("no file", "-", S::Unreadable, "no such file");
        row("a folder", "/", S::Unreadable, "folder");
        row("not a set", QByteArray("\x00\x01{XA,1}\xff", 9), S::Malformed, "Version");
        row("first lookup 12", head + "FirstLookup=12\n", S::Malformed, "FirstLookup");
        row("lookups with a gap", head + "Lookup1=a.txt\nLookup3=c.txt\n", S::Malformed, "gaps");
        row("lookups past 10", head + "FirstLookup=8\nLookup1=a\nLookup2=b\nLookup3=c\n",
            S::Malformed, "room");
        row("bundle with lookups", head + "Application=x.all\nLookup1=a.txt\n", S::Malformed,
            "bundle");
        row("pass-through not a flag", head + "PassThrough=maybe\n", S::Malformed, "PassThrough");
        row("link of no kind", head + "[Link]\nMode=usb\n", S::Malformed, "Mode");
        row("line settings", head + "[Link]\nMode=serial\nSettings=fast\n", S::Malformed,
            "Settings");
        row("TCP port", head + "[Link]\nMode=tcp\nIPAddress=h\nIPPort=70000\n", S::Malformed,
            "IPPort");
    }
    void unreadableSets() {
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(QString(QTest::currentDataTag()) + ".zelset");
        if (content == "/")
            QDir().mkpath(path);
        else if (content != "-")
            makeFile(path, content);
        const DownloadSetFile::ReadResult read = DownloadSetFile::read(path);
        QTEST(int(read.status), "status");
        QFETCH(QString, says);
        QVERIFY2(read.message.contains(says), qPrintable(read.message));
        QVERIFY(!read.ok());
    }

    void writeFailureIsReported() {
        DownloadSetFile set;
        QString error;
        QVERIFY(!set.write(m_dir.filePath("no/such/folder/set.zelset"), &error));
        QVERIFY(error.contains("folder"));
        // A folder standing at the name cannot be replaced.
        QVERIFY(QDir().mkpath(m_dir.filePath("taken.zelset")));
        QVERIFY(!set.write(m_dir.filePath("taken.zelset"), &error));
        QVERIFY(error.contains("cannot be written"));
    }
};

QTEST_GUILESS_MAIN(tst_SetFile)
#include "tst_setfile.moc"

#include "DownloadSetPanel.h"
#include "FileDrag.h"
#include "WindowRig.h"

// Set files in the window: saved, moved and opened again as they were; what
// a set cannot give is said in one box and changes nothing; recent; dropped.
class tst_SetFiles : public QObject, protected WindowRig {
    Q_OBJECT
    // Files that outlive the folder of one window.
    QTemporaryDir m_files;

    // A fresh window whose user types the paths of m_typed into the set
    // dialogs (none left: cancels), and act()'s names into the others.
    void openWindow(const QString &settings) {
        open(settings);
        m_user->setFileDialogHandler([this](QFileDialog *d) {
            if (m_typed.isEmpty() || m_typed.first().startsWith('"'))
                return typeInto(d);
            const QFileInfo file(m_typed.takeFirst());
            d->setDirectory(file.absolutePath());
            auto *name = d->findChild<QLineEdit *>("fileNameEdit");
            name->setText(file.fileName());
            QTest::keyClick(name, Qt::Key_Return);
        });
    }
    static QByteArray setFile(const QByteArray &body) { return "[DownloadSet]\n" + body; }
    // The Recent Sets menu as it opens.
    QString recent() {
        auto *menu = find<QMenu>("recentSetsMenu");
        Q_EMIT menu->aboutToShow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList texts;
        for (const QAction *a : menu->actions())
            texts << a->text();
        return texts.join(',');
    }

private Q_SLOTS:
    void savedSetOpensFromItsMovedFolder() {
        openWindow("LLU=1;Mode=1;Printer=5;IPAddress=192.0.2.7;IPPort=6101");
        const QString folder = m_files.filePath("job");
        QVERIFY(QDir().mkpath(folder + "/tables"));
        QStringList files;
        for (const char *name : {"app.fpc", "label.fmt", "tables/a.txt", "b.lu", "c.csv"}) {
            QFile f(folder + '/' + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            files << f.fileName();
        }
        act("firstLookupList=2");
        m_window->downloadSet().takeApplication(files[0]);
        m_window->downloadSet().takeFormat(files[1]);
        m_window->downloadSet().takeLookups(files.mid(2));
        const QString facts = "set=app.fpc,label.fmt,2,a.txt,b.lu,c.csv*;printer=T540 ZEL Interp;"
                              "link=TCP/IP Mode|192.0.2.7 at port 6101|9600,N,8,1;boxes=";
        m_typed << folder + "/job";
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(statusesInOrder({"Saved set job.zelset"}));
        // The old folder goes: a path kept whole would now name a missing file.
        QVERIFY(QDir().rename(folder, folder + "-moved"));

        // Another start, on the defaults: serial, Q410, the standard view.
        openWindow("");
        m_typed << folder + "-moved/job.zelset";
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(observe(facts + ";status;view;Mode;IPAddress;IPPort"),
                 facts + ";status=Opened set job.zelset;view=WGL.B..DC;Mode=1;"
                         "IPAddress=192.0.2.7;IPPort=6101");
    }

    void setsThatCannotBeTakenWhole_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("facts");
        // Each box, by its code in WindowRig::texts or as "icon|title|text|buttons".
        QTest::addColumn<QString>("boxes");
        const QString kept = "set=old.fpc,,0,old.txt*;printer=T540 ZEL Interp;link=TCP/IP "
                             "Mode|192.0.2.7 at port 9100|9600,N,8,1;status=O;Mode=1;RecentSets=-";
        const QString box = "warning|Download Set|%1/s.zelset ";
        QTest::newRow("missing files")
            << QByteArray("Version=1\nModel=T523\nApplication=gone.fpc\nFormat=label.fmt\n"
                          "Lookup1=a.txt\nLookup2=gone.txt\nLookup3=b.txt\n")
            << "set=,,0,a.txt,b.txt*;printer=T523 ZEL Interp;status=Opened set s.zelset;"
               "RecentSets=%1/s.zelset"
            << "warning|Download Set|These files of the download set %1/s.zelset were not found "
               "and have been left out:\n%1/gone.fpc\n%1/gone.txt\nThe format %1/label.fmt goes "
               "with an application and has been left out.|Ok";
        QTest::newRow("malformed")
            << QByteArray("Version=1\nModel=Z999\nLookup1=a.txt\n") << kept
            << box + "is not a valid download set file: unknown model \"Z999\". Nothing was "
                     "changed.|Ok";
        QTest::newRow("newer") << QByteArray("Version=2\nModel=Q410\nLookup1=a.txt\n") << kept
                               << box + "was saved by a newer version of the program (set file "
                                        "version 2; this one reads up to version 1). Nothing was "
                                        "changed.|Ok";
        // The model's rules decide the link; judged against the set's own
        // link, the keypad's choice asks nothing.
        QTest::newRow("TCP/IP refused")
            << QByteArray("Version=1\nModel=Q412\nLookup1=a.txt\n[Link]\nMode=tcp\nIPAddress=h\n")
            << "set=,,0,a.txt*;printer=Q412;link=Serial Mode|Com1 9600,n,8,1 Xon/Xoff|9600,n,8,1;"
               "status=Opened set s.zelset;Mode=0;RecentSets=%1/s.zelset"
            << "G";
        QTest::newRow("keypad on serial")
            << QByteArray("Version=1\nModel=K72e\nPassThrough=true\nApplication=a.fpc\n[Link]\n"
                          "Mode=serial\nComPort=7\nSettings=19200,n,8,1\nHandshaking=2\n")
            << "set=a.fpc,,0;printer=K72e;link=Serial Mode|Com7 19200,n,8,1 RTS/CTS|19200,n,8,1;"
               "status=Opened set s.zelset;Mode=0;Comport=7;PassThru=True;RecentSets=%1/s.zelset"
            << "";
    }
    void setsThatCannotBeTakenWhole() {
        QFETCH(QByteArray, body);
        QFETCH(QString, facts);
        QFETCH(QString, boxes);
        openWindow("LLU=1;Mode=1;Printer=5;IPAddress=192.0.2.7");
        act("addApp:old.fpc;addLookup:old.txt");
        m_user->seen.clear();
        for (const char *name : {"a.txt", "b.txt", "label.fmt", "a.fpc"})
            makeFile(name, "A|\r\n");
        m_typed << makeFile("s.zelset", setFile(body));
        act("openSetAction");
        facts.replace("%1", m_dir->path());
        QCOMPARE(observe(facts), facts);
        QStringList seen;
        for (const QString &box : m_user->seen)
            seen << texts().key(box, box);
        QCOMPARE(seen.join(','), boxes.replace("%1", m_dir->path()));
    }

    void recentSetsKeepTheLastFiveNewestFirst() {
        openWindow("");
        QCOMPARE(recent(), "No Recent Sets");
        for (int i = 1; i <= 6; ++i) {
            m_typed << makeFile(QString("s%1.zelset").arg(i), setFile("Version=1\nModel=Q410\n"));
            act("openSetAction");
        }
        // Another start on the same store.
        m_window.reset();
        load();
        QCOMPARE(recent(), "&1 s6.zelset,&2 s5.zelset,&3 s4.zelset,&4 s3.zelset,&5 s2.zelset");
        QVERIFY(QFile::remove(m_dir->filePath("s4.zelset")));
        QCOMPARE(recent(), "&1 s6.zelset,&2 s5.zelset,&3 s3.zelset,&4 s2.zelset");
        act("recentSet3");
        QCOMPARE(recent(), "&1 s3.zelset,&2 s6.zelset,&3 s5.zelset,&4 s2.zelset");
    }

    // Only while a set may be opened: not during a download.
    void droppedSetFileOpens() {
        open("LLU=0");
        makeFile("d.fpc", "A|\r\n");
        const QString set =
            makeFile("d.zelset", setFile("Version=1\nModel=T540\nApplication=d.fpc"));
        m_window->setDownloadLocked(true);
        QCOMPARE(enabled("osr", "openSetAction saveSetAction recentSetsAction"), "...");
        QVERIFY(!FileDrag(*m_window, {set}).enter());
        m_window->setDownloadLocked(false);
        FileDrag drag(*m_window, {makeFile("t.txt", "x"), set});
        QVERIFY(drag.enter() && drag.drop());
        QTRY_COMPARE(observe("set;printer;status"),
                     "set=d.fpc,,0;printer=T540 ZEL Interp;status=Opened set d.zelset");
    }

    void cleanup() { closeWindowRig(); }
};

QTEST_MAIN(tst_SetFiles)
#include "tst_setfiles.moc"

#include "DownloadSetPanel.h"
#include "FileDrag.h"
#include "Startup.h"
#include "WindowRig.h"

#include <sys/stat.h>

// Stands in for the desktop's opener of local files.
class FileOpener : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << QFileInfo(url.toLocalFile()).canonicalFilePath(); }
};

// The main window as a user meets it, with Qt's file dialog. Each row: the
// stored settings, a user's steps, the facts after them (WindowRig::act and
// observe; status lines and boxes by their code in WindowRig::texts). Then
// the commands locked while a download runs, and a second start.
class tst_MainWindow : public QObject, protected WindowRig {
    Q_OBJECT

private Q_SLOTS:
    void window_data() {
        // The download set, edited in the lookup view.
        QList<QStringList> set{
            {"addApp:APP.FPC", "set=APP.FPC,,0;on=.aF.L....NGGGC.P;status=P;boxes="},
            {"addApp:", "set=,,0;on=A...L....N...C.P;status=P;boxes="},
            {"addApp:APP.FPC;addFormat:", "set=APP.FPC,,0;on=.aF.L....NGGGC.P;status=P;boxes="},
            {"addApp:APP.FPC;removeApp", "set=,,0;on=A...L....N...C.P;status=;boxes="},
            {"addLookup:a,b;addApp:SET.ALL", "set=SET.ALL,,0;on=.a.......NGGGC..;status=P;boxes=B"},
            {"addApp:A.FPC;addFormat:x.fmt", "set=A.FPC,x.fmt,0;on=.a.fL....NGGGC.P;boxes="},
            {"addApp:A.FPC;addFormat:LABEL.FAB",
             "set=A.FPC,LABEL.FAB,0;on=.a.fL....NGGGC.P;boxes=Q"},
            {"addApp:A.FPC;answer=No;addFormat:label.txt",
             "set=A.FPC,,0;on=.aF.L....NGGGC.P;boxes=q"},
            {"addApp:A.FPC;addFormat:x.fmt;removeFormat",
             "set=A.FPC,,0;on=.aF.L....NGGGC.P;status=P"},
            {"addApp:A.FPC;addFormat:x.fmt;addLookup:a,b;up;removeApp",
             "set=,,0,b*,a;on=A...LlX.D.GGGC.P;status="},
            {"addLookup:b,a", "set=,,0,b,a*;on=A...LlXU..GGGC.P;status=O;boxes="},
            {"addLookup:a,b,c;up;up;down", "set=,,0,a,c*,b;on=A...LlXUD.GGGC.P"},
            {"addLookup:a,b,c;up;removeLookup", "set=,,0,a*,b;on=A...LlXUD.GGGC.P"},
            {"addLookup:a;removeLookup", "set=,,0;on=A...L....N...C.P;status="},
            {"addLookup:a,b;removeAll", "set=,,0;status="},
            {"addApp:A.FPC;addLookup:a;removeLookup", "set=A.FPC,,0;status=P"},
            {"addApp:A.FPC;addFormat:x.fmt;addLookup:a;removeAll",
             "set=A.FPC,x.fmt,0;on=.a.fL....NGGGC..;status=P"},
            {"firstLookupList=3;addLookup:a,b,c,d,e,f;addLookup:g",
             "set=,,3,a,b,c,d,e,f,g*;on=A....lXU..GGGC.P;status=O;boxes=M"},
            {"firstLookupList=3;addLookup:a,b,c,d,e,f;addLookup:g,h",
             "set=,,3;on=A...L....N...C..;status=;boxes=T"},
            {"addLookup:a,b,c,d,e,f,g,h,i,j;removeLookup", "on=A...LlXUD.GGGC.P;boxes="}};
        for (QStringList &row : set)
            row.prepend("LLU=1");
        const QString sent = "sent=A|\r\n{S }";
        QList<QStringList> rows{
            // The pass-through box and the two views.
            {"Printer=3", "passThroughBox", "status=Set Printer to Print Mode Ready;PassThru=True"},
            {"Printer=3;Mode=1;PassThru=True", "passThroughBox",
             "status=Set Keypad to Loading Script;boxes=K;PassThru=False;Mode=0"},
            {"LLU=1", "addLookup:a;standardViewAction",
             "view=W..S...DC;set=,,0;on=A...L....N...C.."},
            {"LLU=0", "lookupViewAction", "view=WGL.B..DC;LLU=True"},
            {"LLU=1", "addLookup:a;lookupBox", "view=W..S...DC;LLU=False;set=,,0"},
            {"LLU=0", "addApp:SET.ALL;lookupBox", "on=.a.......NGGGC..;status=P;LLU=True"},
            // Restored settings, Download and its prompt, Help.
            {"Mode=1;IPAddress=192.0.2.10;IPPort=6101;Printer=5", "",
             "link=TCP/IP Mode|192.0.2.10 at port 6101|9600,N,8,1;printer=T540 ZEL Interp"},
            {"Settings=19200,n,8,1;Handshaking=2;Printer=3;PassThru=1;NeverShowDefault=1;LLU=1", "",
             "link=Serial Mode|Com1 19200,n,8,1 RTS/CTS|19200,n,8,1;printer=K72e;view=WGL.BVP.."},
            {"Printer=3", "addApp:a.fpc;download",
             "boxes=D;sent=A|\r\n{S };on=.aF.L....NGGGC.P;Settings=19200,n,8,1;Handshaking=2"},
            {"", "addApp:a.fpc;download;download",
             "boxes=D;" + sent + sent.mid(5) + ";Settings=9600,o,7,1;status=Download Complete;" +
                 "on=.aF.L....NGGGC.P;link=Serial Mode|Com1 9600,o,7,1 Xon/Xoff|9600,o,7,1"},
            {"", "addApp:a.fpc;answer=No;download;download",
             "boxes=D,D;" + sent + sent.mid(5) + ";Settings=-;NeverShowDefault=-"},
            {"", "addApp:a.fpc;answer=Cancel;download",
             "boxes=D;sent=;status=P;on=.aF.L....NGGGC.P"},
            {"", "addApp:a.fpc;neverBox;download",
             "boxes=;" + sent + ";NeverShowDefault=True;view=W..S....."},
            {"", "defaultCheckAction;addApp:a.fpc;download",
             "boxes=;" + sent + ";NeverShowDefault=True"},
            {"NeverShowDefault=True", "addApp:a.fpc;download", "boxes=;" + sent},
            // Stored values out of range: the defaults in force and shown, the store untouched.
            {"Printer=42;Comport=500;Settings=abc,def;Handshaking=77;LLU=maybe", "",
             "status=Stored settings out of range, defaults in force: Printer, LLU, Comport, "
             "Settings, Handshaking;printer=Q410;link=Serial Mode|Com1 9600,N,8,1 "
             "Xon/Xoff|9600,N,8,1;Printer=42;Comport=500"},
            {"Mode=1;Printer=0;IPPort=999999;IPAddress=10.0.0.1\a", "",
             "status=Stored settings out of range, defaults in force: Mode, IPAddress, IPPort;"
             "link=Serial Mode|Com1 9600,N,8,1 Xon/Xoff|9600,N,8,1;Mode=1"},
        };
        // Each model chosen in serial and in TCP/IP mode.
        const QString q41x = "G;link=Serial Mode|Com1 9600,o,7,1 Xon/Xoff|9600,o,7,1";
        const QString tcp = ";link=TCP/IP Mode|127.0.0.1 at port 9100|9600,N,8,1";
        // Position; list text; prompt; TCP/IP: the box and the link fallen back to.
        const QList<QStringList> models{
            {"0", "Q410", "P", q41x},
            {"1", "Q415 ZEL Interp", "P", q41x},
            {"2", "Q417 ZEL Interp", "P", q41x},
            {"3", "K72e", "Set Keypad to Loading Script",
             "K;link=Serial Mode|Com1 19200,n,8,1 RTS/CTS|19200,n,8,1"},
            {"4", "Q412", "Set Printer to Online",
             "G;link=Serial Mode|Com1 9600,n,8,1 Xon/Xoff|9600,n,8,1"},
            {"5", "T540 ZEL Interp", "Set Printer to Ready", tcp},
            {"6", "R300 ZEL Interp", "Set Printer to Print Mode Ready", tcp},
            {"7", "T523 ZEL Interp", "Set Printer to Ready", tcp}};
        for (const QStringList &m : models) {
            const QString chosen = ";printer=" + m[1] + ";status=" + m[2] + ";Printer=" + m[0] +
                                   ";view=W..S." + (m[0] == "3" ? "V" : ".") + ".D.";
            const QString pick = "printerList=" + m[0];
            // From a printer that allows TCP/IP.
            const QString from = m[0] == "5" ? ";Printer=7" : ";Printer=5";
            rows << QStringList{"Mode=0" + from, pick, "boxes=" + chosen}
                 << QStringList{"Mode=1" + from, pick, "boxes=" + m[3] + chosen};
        }
        // Closed: exit asked, window shown, port open, lock held.
        for (const char *close : {"closeButton", "exitAction", "Exit", "MainWindow"})
            rows << QStringList{"", close, "closed=E..."};
        addRows(set + rows);
    }
    void window() { runRow(); }

    void downloadLocksTheCommands() {
        // A reply wait of 3 s at the test's time scale.
        open("Timeout=300;NeverShowDefault=True;LLU=True");
        m_window->downloadSet().takeApplication(makeFile("app.fpc", "{XA,1}\r\n"));
        act("addLookup:t1.txt");
        const QString commands =
            "printerGroup lookupGroup applicationGroup formatGroup "
            "standardViewAction lookupViewAction modeAction commAction "
            "tcpipAction timeoutAction Mode CommSet TCP/IP close cancel download "
            "downloadAction Download";
        QString during;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, this, [&] {
            // Bytes on the line: the window sits in its reply wait.
            if (during.isEmpty() && !m_pty->readAvailable(0).isEmpty()) {
                during = enabled("PLAFslmctiMCTxcDdB", commands) + ' ' + m_window->windowTitle();
                act("standardViewAction;lookupViewAction;lookupBox;removeAll;removeApp;cancel");
            }
        });
        poll.start(5);
        act("download");
        QCOMPARE(during + ' ' + enabled("PLAFslmctiMCTxcDdB", commands) + ' ' +
                     observe("set;view;on;status") + ' ' + m_window->windowTitle(),
                 QStringLiteral("..............c... %1 - app.fpc PLAFslmctiMCTx.DdB set=app.fpc,,0,"
                                "t1.txt*;view=WGL.B....;on=.aF.LlX...GGGC.P;status=Cancelled %1")
                     .arg(SettingsStore::applicationName()));
    }

    // Each Setup and About command, from the menu and from the toolbar,
    // opens its own dialog over the window.
    void commandsOpenTheirDialogs() {
        open("");
        QStringList opened;
        ModalAnswerer user([&](QWidget *modal) {
            opened << QString::fromLatin1(modal->metaObject()->className()) +
                          (modal->parentWidget() == m_window.get() ? "" : "(unowned)");
            qobject_cast<QDialog *>(modal)->reject();
        });
        for (const char *name : {"modeAction", "commAction", "tcpipAction", "timeoutAction",
                                 "aboutAction", "Mode", "CommSet", "TCP/IP", "About"})
            find<QAction>(QLatin1String(name))->trigger();
        QCOMPARE(opened.join(' '), "ModeDialog CommSettingsDialog TcpIpSettingsDialog "
                                   "TimeoutDialog AboutBox ModeDialog CommSettingsDialog "
                                   "TcpIpSettingsDialog AboutBox");
    }

    // Help from the menu and the toolbar opens the help file beside the
    // program when there is one, else the guide (here the source tree's).
    void helpOpensTheHelpFileOrTheGuide() {
        FileOpener opener;
        QDesktopServices::setUrlHandler("file", &opener, "open");
        const QString chm = QCoreApplication::applicationDirPath() + "/ZELDL.chm";
        QStringList expected;
        for (const bool withChm : {false, true}) {
            if (withChm)
                QVERIFY(QFile(chm).open(QIODevice::WriteOnly));
            open("");
            act("helpContentsAction;Help");
            closeWindowRig();
            const QString guide = QFileInfo(QFileInfo(QStringLiteral(__FILE__))
                                                .dir()
                                                .filePath("../../docs/guide/index.html"))
                                      .canonicalFilePath();
            expected << QStringList(2, withChm ? chm : guide);
        }
        QFile::remove(chm);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(opener.opened, expected);
    }

    // Menus, toolbar, tool tips and where each control sits, as a user sees
    // them in the lookup view.
    void layout() {
        open("LLU=1;Printer=3");
        QStringList menus, tips, misplaced;
        for (QAction *menu : m_window->menuBar()->actions())
            for (QAction *a : QList<QAction *>{menu} + menu->menu()->actions())
                menus << (a->isSeparator() ? "-" : a->text());
        for (QAction *a : find<QToolBar>("toolBar")->actions())
            menus << (a->isSeparator() ? "-" : a->toolTip());
        for (const QWidget *w : m_window->findChildren<QWidget *>())
            if (!w->toolTip().isEmpty() && !w->objectName().isEmpty())
                tips << w->objectName() + '=' + w->toolTip();
        tips.sort();
        QCOMPARE(
            menus.join(",") + ";" + tips.join(","),
            "&File,&Open Set...,Save Set &As...,&Recent Sets,-,&Download,-,E&xit,&Setup,"
            "&Mode...,&Comm...,&TCP/IP...,&Timeout...,&View,"
            "Standard,w/Lookup File,-,Default Comm Settings Check,-,&Traffic,&Help,&Contents...,"
            "&About...,"
            "-,Mode,Comm Settings,TCP/IP,Download,-,Help,About,-,Exit;"
            "addAppButton=Select ZEL App Filename for download,addFormatButton=Select Format "
            "Filename for download,addLookupButton=Add lookup file to list,appFileLabel=ZEL "
            "app filename,cancelButton=Cancel download,closeButton=Close this dialog,"
            "downButton=Move Lookup File Down in list,downloadButton=Download ZEL app and "
            "lookups,firstLookupList=Select first lookup number,formatFileLabel=Format "
            "filename,lookupList=ZEL lookups for download,printerList=Select Printer,"
            "progressBar=Download progress,removeAllButton=Clear list,removeAppButton=Clear "
            "ZEL App Filename from download,removeFormatButton=Clear Format Filename from "
            "download,removeLookupButton=Remove selected lookup file from list,upButton=Move "
            "Lookup File Up in list");
        // "a<b": a left of b on one row; "a^b": a above b; "a|b": left edges aligned.
        const QString pairs =
            "toolBar^printerGroup printerLabel<printerList passThroughBox<lookupBox "
            "printerList^lookupBox printerLabel^passThroughBox printerGroup^applicationGroup "
            "addAppButton<removeAppButton "
            "addAppButton^applicationLabel applicationLabel^appFileLabel "
            "applicationLabel|appFileLabel "
            "applicationGroup^formatGroup addFormatButton<removeFormatButton "
            "addFormatButton^formatLabel formatLabel^formatFileLabel formatLabel|formatFileLabel "
            "formatGroup<lookupGroup lookupList<addLookupButton addLookupButton^removeLookupButton "
            "removeLookupButton^removeAllButton removeAllButton^upButton upButton^downButton "
            "downButton^firstLookupList firstLookupLabel<firstLookupList "
            "firstLookupLabel^lookupNoteLabel lookupGroup^statusLabel statusLabel^downloadButton "
            "downloadButton<cancelButton cancelButton<closeButton "
            "linkPanel<modePanel";
        for (const QString &pair : pairs.split(' ')) {
            const QChar how = pair[pair.indexOf(QRegularExpression("[<^|]"))];
            const auto rect = [&](const QString &name) {
                const QWidget *w = find(name);
                return w && w->isVisible() ? QRect(w->mapTo(m_window.get(), QPoint()), w->size())
                                           : QRect();
            };
            const QRect a = rect(pair.section(how, 0, 0)), b = rect(pair.section(how, 1));
            const bool placed = !a.isNull() && !b.isNull() &&
                                (how == '<'   ? a.right() < b.left() && a.bottom() > b.top()
                                 : how == '^' ? a.bottom() < b.top()
                                              : a.left() == b.left());
            if (!placed)
                misplaced << pair;
        }
        QCOMPARE(misplaced.join(" "), QString());
        QVERIFY(!find<QToolBar>("toolBar")->isMovable());
    }

    // Keys in the lookup list act as its buttons; dropped lookups are taken
    // only where the lookup view shows them.
    void keysAndDrops() {
        open("LLU=1");
        act("addLookup:a,b,c");
        QTest::keyClick(find("lookupList"), Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(find("lookupList"), Qt::Key_Delete);
        QCOMPARE(observe("set"), "set=,,0,a*,b");
        open("LLU=0");
        FileDrag lookupOnly(*m_window, {makeFile("t.txt", "x")});
        QVERIFY(!lookupOnly.enter());
        FileDrag drag(*m_window, {makeFile("d.fpc", "x"), makeFile("t.txt", "x")});
        QVERIFY(drag.enter() && drag.drop());
        QTRY_COMPARE(observe("set"), "set=d.fpc,,0");
        // The printer is picked from the list, never typed.
        QTest::keyClicks(find("printerList"), "T5");
        QCOMPARE(observe("printer"), "printer=Q410");
    }

    // A pipe is refused when chosen, and not taken when dragged; an empty
    // file is taken and named.
    void pipesAndEmptyFiles() {
        open("LLU=1");
        const QString pipe = m_dir->filePath("pipe.txt");
        QCOMPARE(mkfifo(qPrintable(pipe), 0600), 0);
        m_window->downloadSet().takeApplication(pipe);
        m_window->downloadSet().takeLookups({pipe, makeFile("t.txt", "x")});
        QVERIFY(!FileDrag(*m_window, {pipe}).enter());
        QCOMPARE(m_user->seen.size(), 2);
        QVERIFY(m_user->seen.first().startsWith("warning|"));
        QCOMPARE(observe("set"), "set=,,0,t.txt*");
        m_window->downloadSet().takeApplication(makeFile("e.fpc", ""));
        QCOMPARE(observe("set;status"), "set=e.fpc,,0,t.txt*;status=The file e.fpc is empty");
    }

    void secondStartHandsOverAndEnds() {
        // The running one, the last one gone before its folder.
        m_lock = std::make_unique<InstanceLock>();
        resetWindowRig();
        QCOMPARE(m_lock->tryTake(), InstanceLock::Outcome::Taken);
        QSignalSpy raised(m_lock.get(), &InstanceLock::raiseRequested);
        m_user = std::make_unique<ModalAnswerer>();
        // Waits for the running one's answer, which comes only once it runs again.
        QCOMPARE(runApplication(), 0);
        QCOMPARE(m_user->seen,
                 QStringList{"information|App Running|This application is already running|Ok"});
        QTRY_COMPARE(raised.count(), 1);
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"

#include "CommSettingsDialog.h"
#include "FakeView.h"
#include "LayoutCheck.h"
#include "LinkDescription.h"
#include "ModalAnswerer.h"
#include "PtyPair.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QtTest>

// The communications dialog as an operator meets it, on pseudo-terminals
// mapped as Com101 and up, a fresh store per case.
class tst_CommSettings : public QObject {
    Q_OBJECT

    // A case's own folder, state, store, port and user, and the dialog on
    // them; the pseudo-terminals go last.
    struct Case {
        std::vector<std::unique_ptr<PtyPair>> ptys;
        QTemporaryDir dir;
        // Before the store reads it.
        const bool configured = qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        SharedState state;
        SettingsStore store;
        SerialPortControl port;
        ModalAnswerer user;
        FakeView view;
        std::unique_ptr<CommSettingsDialog> dialog;
    };
    std::unique_ptr<Case> m;
    QString m_pty; // Com101's

    // Com`port` on `path`, or on a new pseudo-terminal.
    QString plug(int port, QString path = {}) {
        if (path.isEmpty())
            path = m->ptys.emplace_back(std::make_unique<PtyPair>())->slavePath();
        qputenv("ZELDL_COM" + QByteArray::number(port), path.toLocal8Bit());
        return path;
    }
    // The dialog opened on Com101 holding `settings` and `handshaking`.
    void open(const QString &settings = "9600,n,8,1", int handshaking = 1) {
        m->port.setCommPort(101);
        m->port.setSettings(settings);
        m->port.setHandshaking(handshaking);
        m->dialog = std::make_unique<CommSettingsDialog>(m->state, m->store, m->port, m->view);
        m->dialog->show();
        QCOMPARE(badlyPlaced(*m->dialog), QStringList());
    }
    template <class T = QWidget> T *find(const QString &n) { return m->dialog->findChild<T *>(n); }
    // On the left, where a radio button has its mark.
    void click(const QString &name) {
        QWidget *target = find(name);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(6, target->height() / 2));
    }
    // The dialog shown or not, the port open or not, the status line, the
    // port chosen, the boxes met, then the stored `keys` ("-": none).
    QString facts(const QString &keys = {}) {
        QStringList facts{m->dialog->isVisible() ? "shown" : "closed",
                          m->port.isOpen() ? "open" : "closed", m->view.current,
                          find<QComboBox>("comPortList")->currentText(), m->user.seen.join(',')};
        for (const QString &key : keys.split(' ', Qt::SkipEmptyParts))
            facts << m->store.read(key, "-");
        return facts.join('|');
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<Case>();
        m_pty = plug(101);
    }
    void cleanup() { m.reset(); }

    // Settings and handshaking as the port holds them, the dialog's timeout
    // before, keys typed into the emptied timeout box, then a paste; after
    // OK the box, the reply timeout, the options shown and what was stored.
    void okStoresChoices_data() {
        QTest::addColumn<QStringList>("row");
        const QList<QStringList> rows{
            {"9600,N,8,1", "1", "0", "0", "25 25 9600 None Eight One Xon/Xoff", "9600,n,8,1|1|25"},
            {"115200,n,8,1", "0", "30", "", "25 25 115200 None Eight One None",
             "115200,n,8,1|0|30"},
            {"19200,e,7,2", "3", "0", "4a-+.0 e", "40 40 19200 Even Seven Two RTS + Xon/Xoff",
             "19200,e,7,2|3|40"},
            {"300,M,8,1", "2", "25", "9", "9 9 9600 None Eight One RTS", "9600,n,8,1|2|9"}};
        for (const QStringList &row : rows)
            QTest::addRow("%s typed '%s'", qPrintable(row[0]), qPrintable(row[3])) << row;
    }
    void okStoresChoices() {
        QFETCH(QStringList, row);
        m->state.dialogTimeout = row[2].toFloat();
        open(row[0], row[1].toInt());
        auto *box = find<QLineEdit>("timeoutEdit");
        box->clear();
        QTest::keyClicks(box, row[3]);
        QGuiApplication::clipboard()->setText("7.5");
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); // no way around the filter
        click("okButton");
        QStringList shown{box->text(), SettingText::fromSingle(m->state.replyTimeout)};
        for (const QButtonGroup *options : m->dialog->findChildren<QButtonGroup *>())
            shown << options->checkedButton()->text();
        QCOMPARE(shown.join(' ') + '|' + facts("Settings Handshaking Timeout Mode Comport") + '|' +
                     m->view.modePanel + '|' + m->view.linkPanel,
                 row[4] + "|closed|open||Com101||" + row[5] + "|0|101|Serial Mode|" +
                     LinkDescription::serial(m->state));
    }

    // Only ports whose device is there are offered, each telling its device.
    // Then a port gone by OK: the previous one comes back, open, with the
    // reason. Cancel then takes back the port, flow and line chosen and
    // those that OK gave the port, and nothing is stored.
    void portListAndRejectedPort() {
        plug(102);
        plug(103, m->dir.filePath("missing"));
        QFile(plug(104, m->dir.filePath("plain"))).open(QIODevice::WriteOnly);
        open();
        auto *list = find<QComboBox>("comPortList");
        QVERIFY(list->findText("Com103") < 0 && list->findText("Com104") < 0);
        QCOMPARE(facts() + '|' + list->itemData(list->currentIndex(), Qt::ToolTipRole).toString() +
                     '|' + find<QLabel>("comPortInfoLabel")->text() + '|' + list->accessibleName(),
                 "shown|closed||Com101||" + m_pty + "\nPseudo-terminal\nFree|Com101: " + m_pty +
                     " - Pseudo-terminal, free|Com Port");
        list->setCurrentIndex(list->findText("Com102"));
        click("baud19200");
        click("flowNone");
        const QString gone = plug(102, m->dir.filePath("gone"));
        click("okButton");
        QCOMPARE(facts() + QString("|%1 %2|").arg(m->state.comPort).arg(m->port.commPort()) +
                     find<QLabel>("comPortInfoLabel")->text(),
                 "shown|open|8002 Invalid port number - " + gone +
                     " does not exist|Com101||101 101|Com101: " + m_pty +
                     " - Pseudo-terminal, free");
        list->setCurrentIndex(list->findText("Com102"));
        click("cancelButton");
        QCOMPARE(QString::asprintf("%d %d %d ", m->state.comPort, m->state.handshaking,
                                   m->port.handshaking()) +
                     m->port.settings() + ' ' + m->state.lineSettings + ' ' +
                     facts("Comport Settings Handshaking").section('|', 5),
                 "101 1 1 9600,n,8,1 9600,N,8,1 -|-|-");
    }

    // A port held by another program: by flock, or by a lock file naming
    // it where Qt looks first, as the terminal programs do.
    void busyPortNamesHolder_data() {
        QTest::addColumn<QString>("holder");
        QTest::newRow("flock") << "flock";
        QTest::newRow("lock file") << "sleep";
    }
    void busyPortNamesHolder() {
        QFETCH(QString, holder);
        const QString lock = "/var/lock/LCK.." + m_pty.mid(5).replace('/', '_');
        if (holder == "flock" ? QStandardPaths::findExecutable("flock").isEmpty()
                              : !QFileInfo(QFileInfo(lock).path()).isWritable())
            QSKIP("no flock or no lock folder here");
        QProcess process;
        // flock says when it holds the port.
        process.start(holder, holder == "flock"
                                  ? QStringList{m_pty, "sh", "-c", "echo; exec sleep 30"}
                                  : QStringList{"30"});
        const auto stop = qScopeGuard([&] {
            process.kill();
            process.waitForFinished();
            QFile::remove(lock);
        });
        QFile file(lock);
        QVERIFY(process.waitForStarted() &&
                (holder == "flock"
                     ? process.waitForReadyRead()
                     : file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                           file.write(QByteArray::number(process.processId()) + "\nsleep\n") > 0));
        const QString held = QString("%1 (process %2)").arg(holder).arg(process.processId());
        open();
        QCOMPARE(find<QLabel>("comPortInfoLabel")->text() + '|' + facts(),
                 "Com101: " + m_pty + " - Pseudo-terminal: in use by " + held +
                     "|shown|closed|||none|" + SettingsStore::applicationName() +
                     "|Comm Port 101 in use by another application. It is held by " + held +
                     ".|Ok");
        click("okButton");
        QCOMPARE(facts().section('|', 0, 2),
                 "shown|closed|8005 Port already open - in use by " + held);
    }
};

QTEST_MAIN(tst_CommSettings)
#include "tst_commsettings.moc"

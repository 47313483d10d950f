#include "CommSettingsDialog.h"
#include "FakeView.h"
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

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<SerialPortControl> m_port;
    std::unique_ptr<CommSettingsDialog> m_dialog;
    std::unique_ptr<ModalAnswerer> m_user;
    std::vector<std::unique_ptr<PtyPair>> m_ptys;
    FakeView m_view;

    QString plug(int port, QString path = {}) {
        if (path.isEmpty()) {
            m_ptys.push_back(std::make_unique<PtyPair>());
            path = m_ptys.back()->slavePath();
        }
        qputenv("ZELDL_COM" + QByteArray::number(port), path.toLocal8Bit());
        return path;
    }
    // The dialog opened on Com101 holding `settings` and `handshaking`.
    void open(const QString &settings = "9600,n,8,1", int handshaking = 1) {
        m_port->setCommPort(101);
        m_port->setSettings(settings);
        m_port->setHandshaking(handshaking);
        m_dialog = std::make_unique<CommSettingsDialog>(*m_state, *m_store, *m_port, m_view);
        m_dialog->show();
    }
    template <class T = QWidget> T *find(const QString &name) {
        return m_dialog->findChild<T *>(name);
    }
    // On the left, where a radio button has its mark.
    void click(const QString &name) {
        QWidget *target = find(name);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(6, target->height() / 2));
    }
    QString stored(const QString &keys) {
        QStringList facts;
        for (const QString &key : keys.split(' '))
            facts << key + '=' + m_store->read(key, "-");
        return facts.join(';');
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
        for (int port = 101; port <= 104; ++port)
            qunsetenv(qPrintable(QStringLiteral("ZELDL_COM%1").arg(port)));
        m_state = std::make_unique<SharedState>();
        m_store = std::make_unique<SettingsStore>();
        m_port = std::make_unique<SerialPortControl>();
        m_user = std::make_unique<ModalAnswerer>();
        m_view = FakeView();
        plug(101);
    }
    void cleanup() {
        m_dialog.reset();
        m_port.reset();
        m_ptys.clear();
    }

    // Settings and handshaking as the port holds them, the dialog's timeout
    // before, keys typed into the emptied timeout box; the options shown;
    // the box, the reply timeout and the store after OK.
    void okStoresChoices_data() {
        QTest::addColumn<QStringList>("row");
        const QList<QStringList> rows{
            {"9600,N,8,1", "1", "0", "0", "baud9600 parityNone wordEight stopOne flowXonXoff",
             "25 25 9600,n,8,1 1 25"},
            {"115200,n,8,1", "0", "30", "", "baud115200 parityNone wordEight stopOne flowNone",
             "25 25 115200,n,8,1 0 30"},
            {"19200,e,7,2", "3", "0", "4a-+.0 e",
             "baud19200 parityEven wordSeven stopTwo flowRTSXonXoff", "40 40 19200,e,7,2 3 40"},
            {"300,M,8,1", "2", "25", "9", "baud9600 parityNone wordEight stopOne flowRTS",
             "9 9 9600,n,8,1 2 9"}};
        for (const QStringList &row : rows)
            QTest::addRow("%s typed '%s'", qPrintable(row[0]), qPrintable(row[3])) << row;
    }
    void okStoresChoices() {
        QFETCH(QStringList, row);
        m_state->dialogTimeout = row[2].toFloat();
        open(row[0], row[1].toInt());
        auto *box = find<QLineEdit>("timeoutEdit");
        box->clear();
        QTest::keyClicks(box, row[3]);
        QGuiApplication::clipboard()->setText("7.5");
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); // no way around the filter
        QStringList checked;
        for (const QRadioButton *option : m_dialog->findChildren<QRadioButton *>())
            if (option->isChecked())
                checked << option->objectName();
        QCOMPARE(checked.join(' '), row[4]);
        click("okButton");
        QVERIFY(!m_dialog->isVisible() && m_port->isOpen());
        QCOMPARE(QStringList({box->text(), SettingText::fromSingle(m_state->replyTimeout),
                              m_store->read("Settings", "-"), m_store->read("Handshaking", "-"),
                              m_store->read("Timeout", "-")})
                     .join(' '),
                 row[5]);
        QCOMPARE(stored("Mode Comport") + ';' + m_view.modePanel + '|' + m_view.linkPanel,
                 "Mode=0;Comport=101;Serial Mode|" + LinkDescription::serial(*m_state));
    }

    // Only ports whose device is there are offered, each telling its device.
    void listShowsDevices() {
        const QString pty = m_ptys.back()->slavePath();
        plug(103, m_dir->filePath("missing"));
        plug(104, m_dir->filePath("plain"));
        QFile(m_dir->filePath("plain")).open(QIODevice::WriteOnly);
        open();
        auto *list = find<QComboBox>("comPortList");
        QCOMPARE(list->currentText(), "Com101");
        QVERIFY(list->findText("Com103") < 0 && list->findText("Com104") < 0);
        QCOMPARE(list->itemData(list->currentIndex(), Qt::ToolTipRole).toString(),
                 pty + "\nPseudo-terminal\nFree");
        QCOMPARE(find<QLabel>("comPortInfoLabel")->text(),
                 "Com101: " + pty + " - Pseudo-terminal, free");
        QVERIFY(m_user->seen.isEmpty());
        QVERIFY(!m_port->isOpen());
    }

    // A port gone by OK: the previous one comes back, open, with the reason.
    // Cancel then takes back the port, flow and line chosen and those that
    // OK gave the port, and nothing is stored.
    void rejectedPortRestoresPrevious() {
        plug(102);
        open();
        auto *list = find<QComboBox>("comPortList");
        list->setCurrentIndex(list->findText("Com102"));
        click("baud19200");
        click("flowNone");
        const QString gone = plug(102, m_dir->filePath("gone"));
        click("okButton");
        QCOMPARE(m_view.current, "8002 Invalid port number - " + gone + " does not exist");
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(list->currentText(), "Com101");
        QCOMPARE(m_state->comPort, 101);
        QCOMPARE(m_port->commPort(), 101);
        QVERIFY(m_port->isOpen());
        list->setCurrentIndex(list->findText("Com102"));
        click("cancelButton");
        QCOMPARE(QString("%1 %2 %3 ")
                         .arg(m_state->comPort)
                         .arg(m_state->handshaking)
                         .arg(m_port->handshaking()) +
                     m_port->settings() + ' ' + m_state->lineSettings,
                 "101 1 1 9600,n,8,1 9600,N,8,1");
        QCOMPARE(stored("Comport Settings Handshaking"), "Comport=-;Settings=-;Handshaking=-");
    }

    // A port held by another program: by flock, or by a lock file naming it.
    void busyPortNamesHolder_data() {
        QTest::addColumn<bool>("lockFile");
        QTest::newRow("flock") << false;
        QTest::newRow("lock file") << true;
    }
    void busyPortNamesHolder() {
        QFETCH(bool, lockFile);
        const QString pty = m_ptys.back()->slavePath();
        QProcess holder;
        // Where Qt looks first, as the terminal programs do.
        const QString lockPath = "/var/lock/LCK.." + pty.mid(5).replace('/', '_');
        if (lockFile ? !QFileInfo(QFileInfo(lockPath).path()).isWritable()
                     : QStandardPaths::findExecutable("flock").isEmpty())
            QSKIP("no lock folder or no flock here");
        if (lockFile)
            holder.start("sleep", {"30"});
        else
            holder.start("flock", {pty, "sleep", "30"});
        QVERIFY(holder.waitForStarted());
        const auto stop = qScopeGuard([&] {
            holder.kill();
            holder.waitForFinished();
            QFile::remove(lockPath);
        });
        QFile lock(lockPath);
        if (lockFile)
            QVERIFY(lock.open(QIODevice::WriteOnly) &&
                    lock.write(QByteArray::number(holder.processId()) + "\nsleep\n") > 0);
        lock.close();
        SerialPortControl probe;
        probe.setCommPort(101);
        QVERIFY(QTest::qWaitFor([&] {
            const int error = probe.open();
            probe.close();
            return error == 8005;
        }));
        const QString command = lockFile ? "sleep" : "flock";
        const QString held = QString("%1 (process %2)").arg(command).arg(holder.processId());
        open();
        QCOMPARE(m_user->seen, QStringList{"none|" + SettingsStore::applicationName() +
                                           "|Comm Port 101 in use by another application. It is "
                                           "held by " +
                                           held + ".|Ok"});
        QCOMPARE(find<QComboBox>("comPortList")->findText("Com101"), -1);
        QCOMPARE(find<QLabel>("comPortInfoLabel")->text(),
                 "Com101: " + pty + " - Pseudo-terminal: in use by " + held);
        click("okButton");
        QCOMPARE(m_view.current, "8005 Port already open - in use by " + held);
        QVERIFY(m_dialog->isVisible());
    }
};

QTEST_MAIN(tst_CommSettings)
#include "tst_commsettings.moc"

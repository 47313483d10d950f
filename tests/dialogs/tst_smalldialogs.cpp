#include "AboutBox.h"
#include "FakeView.h"
#include "ModalAnswerer.h"
#include "PtyPair.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TimeoutDialog.h"

#include <QtTest>

// The timeout dialog and the About box, each case on a settings store of its own.
class SmallDialogs : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    const QByteArray m_path = qgetenv("PATH");

    // Keys go where the user's focus is.
    static void press(QWidget *window, Qt::Key key) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget(), key);
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
    }
    void cleanup() { qputenv("PATH", m_path); }

    // From a reply timeout of 40 s: typed over it, then closed by `finish`;
    // after it the reply timeout, the stored "Timeout" and the status line.
    // The dialog's own timeout is 40 s too, or none yet.
    void timeout_data() {
        QTest::addColumn<QStringList>("row");
        const QList<QStringList> rows{
            {"007, Enter", "40", "007", "Return", "7|7|"},
            {"letters, signs, points", "40", "1a-.,+e 2", "okButton", "12|12|"},
            {"0", "40", "0", "okButton", "40|40|"},
            {"empty", "40", "\b", "okButton", "40|40|"},
            {"0, none accepted yet", "0", "000", "okButton", "40|40|"},
            {"too long", "40", QString(60, '9'), "okButton", "40|40|Timeout Save Settings Error"},
            {"Cancel", "40", "10", "cancelButton", "40|-|"}};
        for (const QStringList &row : rows)
            QTest::newRow(qPrintable(row[0])) << row;
    }
    void timeout() {
        QFETCH(QStringList, row);
        PtyPair pty;
        qputenv("ZELDL_COM7", pty.slavePath().toLocal8Bit());
        SerialPortControl port;
        QVERIFY(port.setCommPort(7) && port.open() == 0);
        SharedState state;
        state.replyTimeout = 40;
        state.dialogTimeout = row[1].toFloat();
        SettingsStore store;
        FakeView view;

        TimeoutDialog dialog(state, store, port, view);
        dialog.show();
        auto *edit = dialog.findChild<QLineEdit *>("timeoutEdit");
        QCOMPARE(edit->text(), "40");
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, row[2]);
        if (auto *button = dialog.findChild<QPushButton *>(row[3]))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            press(&dialog, Qt::Key_Return);

        QVERIFY(!dialog.isVisible());
        QVERIFY(!port.isOpen());
        QCOMPARE(QStringList({QString::number(state.replyTimeout), store.read("Timeout", "-"),
                              view.current})
                     .join('|'),
                 row[4]);
    }

    void aboutTexts() {
        QCOMPARE(AboutBox::versionText(1, 8, 0), "Version 1.8");
        QCOMPARE(AboutBox::versionText(1, 8, 3), "Prototype 1.8.0.0.3");
        AboutBox box;
        QCOMPARE(box.windowTitle(), "About " + SettingsStore::applicationName());
        box.show();
        press(&box, Qt::Key_Return);
        QVERIFY(!box.isVisible());
    }

    // A stub tool on the search path, or none (the path an empty folder).
    void systemInfo_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("box");
        QTest::newRow("none") << ""
                              << "none|" + SettingsStore::applicationName() +
                                     "|System Information Is Unavailable At This Time|Ok";
        QTest::newRow("installed") << "hardinfo"
                                   << "";
    }
    void systemInfo() {
        QFETCH(QString, tool);
        const QString bin = m_dir->filePath("bin"), stub = bin + '/' + tool;
        QFile file(stub);
        QVERIFY(QDir().mkpath(bin) &&
                (tool.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n") &&
                                    file.setPermissions(QFile::ReadOwner | QFile::ExeOwner))));
        qputenv("PATH", bin.toLocal8Bit());
        AboutBox box;
        QStringList started;
        box.startProgram = [&started](const QString &program) {
            return started << program, true;
        };
        box.show();
        ModalAnswerer user;
        QTest::mouseClick(box.findChild<QPushButton *>("sysInfoButton"), Qt::LeftButton);
        QCOMPARE(started, tool.isEmpty() ? QStringList() : QStringList{stub});
        QTEST(user.seen.join(','), "box");
    }

    // Reached by keyboard: Tab from System Info to the link, then Enter.
    void webLink_data() {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::newRow("No") << QMessageBox::No << QList<QUrl>();
        QTest::newRow("Yes") << QMessageBox::Yes << QList<QUrl>{AboutBox::supportAddress()};
    }
    void webLink() {
        QFETCH(QMessageBox::StandardButton, answer);
        AboutBox box;
        QList<QUrl> opened;
        box.openUrl = [&opened](const QUrl &url) {
            return opened << url, true;
        };
        box.show();
        ModalAnswerer user;
        user.setAnswer(answer);
        box.findChild<QPushButton *>("sysInfoButton")->setFocus();
        press(&box, Qt::Key_Tab);
        press(&box, Qt::Key_Return);
        const QStringList lines = user.seen.value(0).split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], "question|Start Browser?|This will start your local browser");
        QCOMPARE(lines.mid(2), QStringList({"", "Do you wish to continue?|Yes/No"}));
        QTEST(opened, "opened");
        press(&box, Qt::Key_Escape);
        QVERIFY(!box.isVisible());
    }
};

QTEST_MAIN(SmallDialogs)
#include "tst_smalldialogs.moc"

#include "AboutBox.h"
#include "FakeView.h"
#include "LayoutCheck.h"
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

    // Keys go where the user's focus is.
    static void press(QWidget *window, Qt::Key key) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(QApplication::focusWidget(), key);
    }

private Q_SLOTS:
    // From a reply timeout of 40 s, shown selected: typed over, then closed
    // by `finish`; after it the reply timeout, the stored "Timeout" and the
    // status line. The dialog's own timeout is 40 s too, or none yet.
    void timeout_data() {
        QTest::addColumn<QStringList>("row");
        QTest::newRow("007, Enter") << QStringList{"40", "007", "Return", "7|7|"};
        QTest::newRow("non-digits") << QStringList{"40", "1a-.,+e 2", "okButton", "12|12|"};
        QTest::newRow("empty") << QStringList{"40", "\b", "okButton", "40|40|"};
        QTest::newRow("0, none accepted yet") << QStringList{"0", "000", "okButton", "40|40|"};
        QTest::newRow("too long") << QStringList{"40", QString(60, '9'), "okButton",
                                                 "40|40|Timeout Save Settings Error"};
        QTest::newRow("Cancel") << QStringList{"40", "10", "cancelButton", "40|-|"};
    }
    void timeout() {
        QFETCH(QStringList, row);
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        PtyPair pty;
        qputenv("ZELDL_COM7", pty.slavePath().toLocal8Bit());
        SerialPortControl port;
        QVERIFY(port.setCommPort(7) && port.open() == 0);
        SharedState state;
        state.replyTimeout = 40;
        state.dialogTimeout = row[0].toFloat();
        SettingsStore store;
        FakeView view;
        TimeoutDialog dialog(state, store, port, view);
        dialog.show();
        QCOMPARE(badlyPlaced(dialog), QStringList());
        QCOMPARE(dialog.timeoutEdit->text(), "40");
        QTest::keyClicks(dialog.timeoutEdit, row[1]);
        if (auto *button = dialog.findChild<QPushButton *>(row[2]))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            press(&dialog, Qt::Key_Return);
        // Closed, and so is the port: a download opens it again when it needs it.
        QCOMPARE(QStringList({QString::number(state.replyTimeout), store.read("Timeout", "-"),
                              view.current, dialog.isVisible() ? "shown" : "closed",
                              port.isOpen() ? "open" : "closed"})
                     .join('|'),
                 row[3] + "|closed|closed");
    }

    void aboutTexts() {
        QCOMPARE(AboutBox::versionText(1, 8, 0) + ", " + AboutBox::versionText(1, 8, 3) + ", " +
                     AboutBox().windowTitle(),
                 "Version 1.8, Prototype 1.8.0.0.3, About " + SettingsStore::applicationName());
    }

    // Keys pressed from the start, where OK has the focus and Tab goes on
    // to System Info, then to the link; `tool` alone on the search path
    // (none: an empty folder), boxes answered `answer`.
    void aboutBox_data() {
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("facts");
        const QList<Qt::Key> info{Qt::Key_Tab, Qt::Key_Space, Qt::Key_Escape};
        const QList<Qt::Key> link{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Escape};
        const QString url = AboutBox::supportAddress().toString();
        const QString ask = "question|Start Browser?|This will start your local browser\nand "
                            "show the ZEL Download Utility support site, " +
                            url + "\n\nDo you wish to continue?|Yes/No";
        QTest::newRow("OK") << QList{Qt::Key_Return} << "" << QMessageBox::Ok << "";
        QTest::newRow("no tool") << info << "" << QMessageBox::Ok
                                 << "none|" + SettingsStore::applicationName() +
                                        "|System Information Is Unavailable At This Time|Ok";
        QTest::newRow("tool") << info << "hardinfo" << QMessageBox::Ok << "started bin/hardinfo";
        QTest::newRow("link, No") << link << "" << QMessageBox::No << ask;
        QTest::newRow("link, Yes") << link << "" << QMessageBox::Yes << ask + ",opened " + url;
    }
    void aboutBox() {
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(QString, tool);
        QFETCH(QMessageBox::StandardButton, answer);
        const QTemporaryDir bin;
        QVERIFY(tool.isEmpty() || QFile::link("/bin/sh", bin.filePath(tool)));
        const auto restore = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
        qputenv("PATH", bin.path().toLocal8Bit());
        AboutBox box;
        ModalAnswerer user;
        user.setAnswer(answer);
        box.startProgram = [&user](const QString &program) {
            return user.seen << "started " + program, true;
        };
        box.openUrl = [&user](const QUrl &url) {
            return user.seen << "opened " + url.toString(), true;
        };
        box.show();
        QCOMPARE(badlyPlaced(box), QStringList());
        for (const Qt::Key key : keys)
            press(&box, key);
        QVERIFY(!box.isVisible());
        QTEST(user.seen.join(',').replace(bin.path(), "bin"), "facts");
    }
};

QTEST_MAIN(SmallDialogs)
#include "tst_smalldialogs.moc"

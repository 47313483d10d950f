#include "FakeView.h"
#include "LayoutCheck.h"
#include "ModalAnswerer.h"
#include "ModeDialog.h"
#include "PrinterModels.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TcpIpSettingsDialog.h"

#include <QtTest>

// The TCP/IP settings and mode dialogs on a fresh state and store each case,
// with a serial port that is never opened.
class LinkDialogs : public QObject {
    Q_OBJECT
    // Shows the dialog, then takes the steps separated by ';': a control's
    // name clicks it; "name:keys" types into it, ":keys" where the focus is
    // (Return, Escape, Tab, Down or text).
    static void act(QDialog &dialog, const QString &steps) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // Every control shows whole, apart from the others, with a name for
        // assistive technology.
        QCOMPARE(badlyPlaced(dialog), QStringList());
        for (const QString &step : steps.split(';')) {
            const QString name = step.section(':', 0, 0), typed = step.section(':', 1);
            auto *target =
                name.isEmpty() ? dialog.focusWidget() : dialog.findChild<QWidget *>(name);
            QVERIFY2(target, qPrintable(step));
            if (!step.contains(':'))
                QTest::mouseClick(target, Qt::LeftButton);
            else if (typed[0].isUpper()) // a key's name
                QTest::keyClick(target, QKeySequence(typed)[0].key());
            else
                QTest::keyClicks(target, typed);
            QCoreApplication::processEvents(); // checks that wait for the click to end
        }
    }

private Q_SLOTS:
    // Every dialog at one and a half times the text size.
    void initTestCase() {
        const QFont normal = QApplication::font();
        QApplication::setFont(QFont(normal.family(), normal.pointSize() * 3 / 2));
    }
    void dialogs_data() {
        const QString serial = "boxes=G;state=0/0;IPAddress=-;IPPort=-;Mode=0;Comport=1;"
                               "Timeout=30;Settings=%1;Handshaking=1;port=%1 1;"
                               "panels=Serial Mode|Com1 %1 Xon/Xoff;result=closed 1 10.0.0.7:9100";
        const QString tcp = "boxes=;state=1/1;Mode=1;IPAddress=10.0.0.7;IPPort=9100;Settings=-;"
                            "panels=TCP/IP Mode|10.0.0.7 at port 9100";
        const QString keypad = "boxes=K;state=0/0;Mode=0;Settings=19200,n,8,1;Handshaking=2;"
                               "Timeout=30;port=19200,n,8,1 2;panels=Serial Mode|"
                               "Com1 19200,n,8,1 RTS/CTS";
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("facts");
        const QList<QStringList> rows{
            {"tcpip T540 printer.example:9100", "okButton",
             "shown=0.0.0.0:9100;boxes=A;result=shown 0 cancelled printer.example:9100;Mode=-"},
            {"tcpip T540 10.1.2:9100", "okButton", "boxes=;result=closed 1 10.1.2.0:9100"},
            {"tcpip T540 1.2.3.4.5.6:9100", ":Return", "boxes=;IPAddress=1.2.3.4"},
            {"tcpip Q410 10.0.0.7:9100", "okButton", serial.arg("9600,o,7,1")},
            {"tcpip K72e 10.0.0.7:9100", "okButton", keypad + ";IPAddress=-"},
            {"tcpip K72e+ 10.0.0.7:9100", "okButton", tcp},
            {"tcpip T540 10.0.0.7:9100", "okButton", tcp},
            {"tcpip T540 10.0.0.7:8000", "portList:8000;portList:Return",
             "shown=10.0.0.7:9100;IPPort=9100"},
            {"tcpip T540 10.0.0.7:8000", "portList:Down;okButton", "IPPort=8000"},
            {"tcpip T540 10.0.0.7:9100", "cancelButton",
             "state=0/0;Mode=-;panels=|;result=closed 0 cancelled 10.0.0.7:9100"},
            {"mode Q410", "tcpipButton;okButton",
             "boxes=G;state=0/0;Mode=0;Settings=-;port=9600,N,8,1 0;result=closed 1"},
            {"mode Q410@1", "tcpipButton;cancelButton", "boxes=G;state=0/0;Mode=-;result=closed 0"},
            {"mode K72e", "tcpipButton;okButton", keypad + ";result=closed 1"},
            {"mode T540", "tcpipButton;okButton",
             "boxes=;state=1/1;Mode=1;Settings=-;result=closed 1"},
            {"mode T540@1", "serialButton;okButton", "boxes=;state=0/0;Mode=0;result=closed 1"},
            {"mode T540", "tcpipButton;cancelButton", "boxes=;state=0/0;Mode=-;result=closed 0"},
            // The mode held at the start is checked before OK takes the
            // choice, and when the focus leaves the choice.
            {"mode Q410@1", ":Return", "boxes=G;state=0/0;Mode=0;result=closed 1"},
            {"mode Q410@1", "okButton", "boxes=G;state=0/0;Mode=0;result=closed 1"},
            {"mode Q410@1", ":Tab;:Escape", "boxes=G;state=0/0;Mode=0;result=closed 0"}};
        for (const QStringList &row : rows)
            QTest::addRow("%s %s", qPrintable(row[0]), qPrintable(row[1])) << row[1] << row[2];
    }
    // The data tag sets up: "tcpip T540 10.0.0.7:9100" or "mode K72e+"
    // (pass-through); "@1" after the printer: TCP/IP mode at the start. The
    // facts are "name=value;..."; a name in capitals is the stored setting
    // ("-" when none).
    void dialogs() {
        QFETCH(QString, steps);
        QFETCH(QString, facts);
        const QString setup = QTest::currentDataTag();
        const QString printer = setup.section(' ', 1, 1), host = setup.section(' ', 2, 2);
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        SharedState state;
        SettingsStore store;
        FakeView view;
        SerialPortControl port;
        ModalAnswerer user;
        for (const PrinterModel &model : PrinterModels::all())
            if (printer.startsWith(QString::fromLatin1(model.listText).section(' ', 0, 0)))
                state.printer = model.index;
        state.passThrough = printer.contains('+');
        state.mode = state.modeOption = printer.endsWith("@1") ? 1 : 0;
        state.dialogTimeout = 30; // what "Timeout" gets, not the reply time-out
        std::unique_ptr<QDialog> dialog;
        if (setup.startsWith("mode"))
            dialog = std::make_unique<ModeDialog>(state, store, port, view);
        else
            dialog = std::make_unique<TcpIpSettingsDialog>(
                state, store, port, view, host.section(':', 0, 0), host.section(':', 1).toInt());
        act(*dialog, steps);

        const QString warning = "warning|Incorrect Mode|%1|Ok";
        QStringList seen, address;
        const QString boxes = user.seen.join(',')
                                  .replace(warning.arg(LinkModeRules::kGeneralWarning), "G")
                                  .replace(warning.arg(LinkModeRules::kKeypadWarning), "K")
                                  .replace("critical|" + SettingsStore::applicationName() +
                                               "|Server Name or IP address is needed|Ok",
                                           "A");
        QMap<QString, QString> all{
            {"boxes", boxes},
            {"panels", view.modePanel + '|' + view.linkPanel},
            {"port", port.settings() + ' ' + QString::number(port.handshaking()) +
                         (port.isOpen() ? " open" : "")},
            {"state", QString::number(state.mode) + '/' + QString::number(state.modeOption)},
            {"result",
             (dialog->isVisible() ? "shown " : "closed ") + QString::number(dialog->result())}};
        if (auto *tcpip = qobject_cast<const TcpIpSettingsDialog *>(dialog.get())) {
            for (const QComboBox *list : tcpip->addressLists)
                address << list->currentText();
            all["shown"] = address.join('.') + ':' + tcpip->portList->currentText();
            all["result"] += (tcpip->isCancelled() ? " cancelled " : " ") + tcpip->serverIp() +
                             ':' + QString::number(tcpip->serverPort());
        }
        for (const QString &fact : facts.split(';')) {
            const QString key = fact.section('=', 0, 0);
            seen << key + '=' + (key[0].isUpper() ? store.read(key, "-") : all.value(key));
        }
        QCOMPARE(seen.join(';'), facts);
    }
};

QTEST_MAIN(LinkDialogs)
#include "tst_linkdialogs.moc"

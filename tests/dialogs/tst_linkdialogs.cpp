#include "FakeView.h"
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
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<FakeView> m_view;
    std::unique_ptr<SerialPortControl> m_port;
    std::unique_ptr<ModalAnswerer> m_user;

    // "tcpip T540 10.0.0.7:9100" or "mode K72e+" (pass-through); "@1" after
    // the printer: TCP/IP mode at the start.
    std::unique_ptr<QDialog> start(const QString &setup) {
        const QString printer = setup.section(' ', 1, 1), host = setup.section(' ', 2, 2);
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
        m_state = std::make_unique<SharedState>();
        m_store = std::make_unique<SettingsStore>();
        m_view = std::make_unique<FakeView>();
        m_port = std::make_unique<SerialPortControl>();
        m_user = std::make_unique<ModalAnswerer>();
        for (const PrinterModel &model : PrinterModels::all())
            if (printer.startsWith(QString::fromLatin1(model.listText).section(' ', 0, 0)))
                m_state->printer = model.index;
        m_state->passThrough = printer.contains('+');
        m_state->mode = m_state->modeOption = printer.endsWith("@1") ? 1 : 0;
        m_state->dialogTimeout = 30; // what "Timeout" gets, not the reply time-out
        m_port->setHandshaking(m_state->handshaking);
        m_port->setSettings(m_state->lineSettings);
        if (setup.startsWith("mode"))
            return std::make_unique<ModeDialog>(*m_state, *m_store, *m_port, *m_view);
        return std::make_unique<TcpIpSettingsDialog>(*m_state, *m_store, *m_port, *m_view,
                                                     host.section(':', 0, 0),
                                                     host.section(':', 1).toInt());
    }
    // Steps separated by ';': a control's name clicks it; "name:keys" types
    // into it, ":keys" where the focus is (Enter, Escape, Tab, Down or text).
    static void act(QDialog &dialog, const QString &steps) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const QMap<QString, Qt::Key> keys{{"Enter", Qt::Key_Return},
                                          {"Escape", Qt::Key_Escape},
                                          {"Tab", Qt::Key_Tab},
                                          {"Down", Qt::Key_Down}};
        for (const QString &step : steps.split(';')) {
            const QString name = step.section(':', 0, 0), typed = step.section(':', 1);
            auto *target =
                name.isEmpty() ? dialog.focusWidget() : dialog.findChild<QWidget *>(name);
            QVERIFY2(target, qPrintable(step));
            if (!step.contains(':'))
                QTest::mouseClick(target, Qt::LeftButton);
            else if (keys.contains(typed))
                QTest::keyClick(target, keys[typed]);
            else
                QTest::keyClicks(target, typed);
            QCoreApplication::processEvents(); // checks that wait for the click to end
        }
    }
    // The facts `expected` names ("name=value;..."); a name in capitals is
    // the stored setting ("-" when none).
    QString observe(const QString &expected, const QDialog &dialog) {
        const QMap<QString, QString> codes{
            {"G", "warning|Incorrect Mode|" + LinkModeRules::kGeneralWarning + "|Ok"},
            {"K", "warning|Incorrect Mode|" + LinkModeRules::kKeypadWarning + "|Ok"},
            {"A", "critical|" + SettingsStore::applicationName() +
                      "|Server Name or IP address is needed|Ok"}};
        QStringList boxes, facts, address;
        for (const QString &box : m_user->seen)
            boxes << codes.key(box, box);
        QMap<QString, QString> all{
            {"boxes", boxes.join(',')},
            {"panels", m_view->modePanel + '|' + m_view->linkPanel},
            {"port", m_port->settings() + ' ' + QString::number(m_port->handshaking()) +
                         (m_port->isOpen() ? " open" : "")},
            {"state", QString::number(m_state->mode) + '/' + QString::number(m_state->modeOption)},
            {"result",
             (dialog.isVisible() ? "shown " : "closed ") + QString::number(dialog.result())}};
        if (auto *tcpip = qobject_cast<const TcpIpSettingsDialog *>(&dialog)) {
            for (const QComboBox *list : tcpip->addressLists)
                address << list->currentText();
            all["shown"] = address.join('.') + ':' + tcpip->portList->currentText();
            all["result"] += (tcpip->isCancelled() ? " cancelled " : " ") + tcpip->serverIp() +
                             ':' + QString::number(tcpip->serverPort());
        }
        for (const QString &fact : expected.split(';')) {
            const QString key = fact.section('=', 0, 0);
            facts << key + '=' + (key[0].isUpper() ? m_store->read(key, "-") : all.value(key));
        }
        return facts.join(';');
    }

private Q_SLOTS:
    void dialogs_data() {
        const QString serial = "boxes=G;state=0/0;IPAddress=-;IPPort=-;Mode=0;Comport=1;"
                               "Timeout=30;Settings=%1;Handshaking=1;port=%1 1;"
                               "panels=Serial Mode|Com1 %1 Xon/Xoff;result=closed 1 10.0.0.7:9100";
        const QString tcp = "boxes=;state=1/1;Mode=1;IPAddress=10.0.0.7;IPPort=9100;Settings=-;"
                            "panels=TCP/IP Mode|10.0.0.7 at port 9100";
        const QString keypad = "boxes=K;state=0/0;Mode=0;Settings=19200,n,8,1;Handshaking=2;"
                               "Timeout=30;port=19200,n,8,1 2;panels=Serial Mode|"
                               "Com1 19200,n,8,1 RTS/CTS";
        const QString refused =
            "boxes=G;state=0/0;Mode=0;Settings=-;port=9600,N,8,1 1;result=closed 1";
        const QString taken = "boxes=;state=1/1;Mode=1;Settings=-;result=closed 1";
        const QString h = " 10.0.0.7:9100";
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("facts");
        const QList<QStringList> rows{
            {"tcpip T540 :9100", "okButton",
             "shown=0.0.0.0:9100;boxes=A;result=shown 0 cancelled :9100;Mode=-"},
            {"tcpip T540 printer.example:9100", "okButton", "shown=0.0.0.0:9100;boxes=A"},
            {"tcpip T540 10.1.2:9100", "okButton", "boxes=;result=closed 1 10.1.2.0:9100"},
            {"tcpip T540 1.2.3.4.5.6:9100", ":Enter", "boxes=;IPAddress=1.2.3.4"},
            {"tcpip Q410" + h, "okButton", serial.arg("9600,o,7,1")},
            {"tcpip K72e" + h, "okButton", keypad + ";IPAddress=-"},
            {"tcpip K72e+" + h, "okButton", tcp},
            {"tcpip T540" + h, "okButton", tcp},
            {"tcpip T540 10.0.0.7:8000", "portList:8000;portList:Enter",
             "shown=10.0.0.7:9100;IPPort=9100"},
            {"tcpip T540 10.0.0.7:8000", "portList:Down;okButton", "IPPort=8000"},
            {"tcpip T540" + h, "cancelButton",
             "state=0/0;Mode=-;panels=|;result=closed 0 cancelled 10.0.0.7:9100"},
            {"mode Q410", "tcpipButton;okButton", refused},
            {"mode Q410@1", "tcpipButton;cancelButton", "boxes=G;state=0/0;Mode=-;result=closed 0"},
            {"mode K72e", "tcpipButton;okButton", keypad + ";result=closed 1"},
            {"mode K72e+", "tcpipButton;okButton", taken},
            {"mode T540", "tcpipButton;okButton", taken},
            {"mode T540@1", "serialButton;okButton", "boxes=;state=0/0;Mode=0;result=closed 1"},
            {"mode T540", "tcpipButton;cancelButton", "boxes=;state=0/0;Mode=-;result=closed 0"},
            // The mode held at the start is checked before OK takes the
            // choice, and when the focus leaves the choice.
            {"mode Q410@1", ":Enter", "boxes=G;state=0/0;Mode=0;result=closed 1"},
            {"mode Q410@1", "okButton", "boxes=G;state=0/0;Mode=0;result=closed 1"},
            {"mode Q410@1", ":Tab;:Escape", "boxes=G;state=0/0;Mode=0;result=closed 0"}};
        for (const QStringList &row : rows)
            QTest::addRow("%s %s", qPrintable(row[0]), qPrintable(row[1])) << row[1] << row[2];
    }
    void dialogs() {
        QFETCH(QString, steps);
        QFETCH(QString, facts);
        const auto dialog = start(QTest::currentDataTag());
        act(*dialog, steps);
        QCOMPARE(observe(facts, *dialog), facts);
    }

    // At one and a half times the text size every control still shows whole,
    // apart from the others, with a name for assistive technology.
    void layout() {
        const QFont normal = QApplication::font();
        QApplication::setFont(QFont(normal.family(), normal.pointSize() * 3 / 2));
        for (const char *setup : {"tcpip T540 10.0.0.7:9100", "mode T540"}) {
            const auto dialog = start(setup);
            dialog->show();
            QList<QRect> taken;
            for (QWidget *w : dialog->findChildren<QWidget *>()) {
                if (!w->isVisible() ||
                    (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QLabel *>(w)))
                    continue;
                const QRect r(w->mapTo(dialog.get(), QPoint()), w->size());
                const QString name =
                    QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
                QVERIFY2(dialog->rect().contains(r) && !w->objectName().isEmpty() &&
                             r.size() == r.size().expandedTo(w->minimumSizeHint()) &&
                             !name.isEmpty(),
                         qPrintable(w->objectName()));
                for (const QRect &other : taken)
                    QVERIFY2(!other.intersects(r), qPrintable(w->objectName()));
                taken << r;
            }
        }
        QApplication::setFont(normal);
    }
};

QTEST_MAIN(LinkDialogs)
#include "tst_linkdialogs.moc"

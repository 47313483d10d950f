#include "ModalAnswerer.h"
#include "ScriptedChooser.h"
#include "SerialPortControl.h"
#include "WindowRig.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <memory>

namespace {
const QString kGeneral = QStringLiteral(
    "warning|Incorrect Mode|TCP Mode is not available for this printer - Defaulting to Serial "
    "Mode|Ok");
const QString kKeypad = QStringLiteral(
    "warning|Incorrect Mode|TCP Mode is not available for the K72e Keyboard Directly(TCP is Only "
    "Available using Pass Through Mode) - Defaulting to Serial Mode|Ok");
const QString kKeypadPrompt = QStringLiteral("Set Keypad to Loading Script");
const QString kPrinterPrompt = QStringLiteral("Set Printer to Print Mode Ready");
} // namespace

// The printer list, the pass-through box and the two views, through the
// real window: what each choice does to the link mode, the serial port, the
// stored settings, the status line and the window.
class tst_PrinterSelection : public QObject, protected WindowRig {
    Q_OBJECT
    std::unique_ptr<ScriptedChooser> m_chooser;
    std::unique_ptr<ModalAnswerer> m_answerer;

    QString stored(const char *key) const {
        return m_store->read(QLatin1String(key), QStringLiteral("unset"));
    }
    void load() { WindowRig::load(m_chooser.get()); }
    // Opens the list and clicks the model, as a user picks one.
    void choosePrinter(int index) {
        auto *combo = find<QComboBox>("printerList");
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        QTRY_VERIFY(view->isVisible());
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(combo->currentIndex(), index);
    }
    void clickBox(const char *name) {
        auto *box = find<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    void addLookups(const QStringList &names) {
        QStringList paths;
        for (const QString &name : names)
            paths << m_dir->filePath(name);
        m_chooser->answers.push_back(paths);
        QTest::mouseClick(find<QPushButton>("addLookupButton"), Qt::LeftButton);
    }

private Q_SLOTS:
    void init() {
        resetWindowRig();
        // Com2, so that a forced step that reset the port number would show.
        plugSilentLine(2);
        m_store->write("Comport", "2");
        m_chooser = std::make_unique<ScriptedChooser>();
        m_answerer = std::make_unique<ModalAnswerer>();
    }
    void cleanup() {
        closeWindowRig();
        m_answerer.reset();
        m_chooser.reset();
    }

    void choosingAModel_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("passThru");
        QTest::addColumn<QList<int>>("picks");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<int>("modeAfter");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("handshaking");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("boxShown");
        QTest::addColumn<QString>("passThruStored");

        const QString unchanged = "9600,N,8,1";
        QTest::newRow("TCP/IP, Q412 falls back to serial")
            << 1 << 0 << false << QList<int>{4} << QStringList{kGeneral} << 0 << "9600,n,8,1" << 1
            << "Set Printer to Online" << false << "unset";
        QTest::newRow("TCP/IP, Q415 falls back to serial")
            << 1 << 0 << false << QList<int>{1} << QStringList{kGeneral} << 0 << "9600,o,7,1" << 1
            << "Set Printer to Data Transfer/Receive" << false << "unset";
        QTest::newRow("TCP/IP, T540 keeps TCP/IP")
            << 1 << 0 << false << QList<int>{5} << QStringList{} << 1 << unchanged << 1
            << "Set Printer to Ready" << false << "unset";
        QTest::newRow("TCP/IP, R300 keeps TCP/IP")
            << 1 << 0 << false << QList<int>{6} << QStringList{} << 1 << unchanged << 1
            << kPrinterPrompt << false << "unset";
        QTest::newRow("TCP/IP, T523 keeps TCP/IP")
            << 1 << 0 << false << QList<int>{7} << QStringList{} << 1 << unchanged << 1
            << "Set Printer to Ready" << false << "unset";
        QTest::newRow("TCP/IP, K72e while pass-through was checked")
            << 1 << 3 << true << QList<int>{5, 3} << QStringList{kKeypad} << 0 << "19200,n,8,1" << 2
            << kKeypadPrompt << true << "False";
        QTest::newRow("TCP/IP, K72e without pass-through")
            << 1 << 0 << false << QList<int>{3} << QStringList{kKeypad} << 0 << "19200,n,8,1" << 2
            << kKeypadPrompt << true << "unset";
        QTest::newRow("serial, K72e: box shown and cleared")
            << 0 << 0 << false << QList<int>{3} << QStringList{} << 0 << unchanged << 1
            << kKeypadPrompt << true << "unset";
        QTest::newRow("serial, K72e while pass-through was checked")
            << 0 << 3 << true << QList<int>{5, 3} << QStringList{} << 0 << unchanged << 1
            << kKeypadPrompt << true << "False";
        QTest::newRow("serial, Q412 keeps the line settings")
            << 0 << 0 << false << QList<int>{4} << QStringList{} << 0 << unchanged << 1
            << "Set Printer to Online" << false << "unset";
    }
    void choosingAModel() {
        QFETCH(int, mode);
        QFETCH(int, printer);
        QFETCH(bool, passThru);
        QFETCH(QList<int>, picks);
        QFETCH(QStringList, warnings);
        QFETCH(int, modeAfter);
        QFETCH(QString, settings);
        QFETCH(int, handshaking);
        QFETCH(QString, status);
        QFETCH(bool, boxShown);
        QFETCH(QString, passThruStored);

        m_store->write("Mode", QString::number(mode));
        m_store->write("Printer", QString::number(printer));
        if (passThru)
            m_store->write("PassThru", "True");
        load();
        QCOMPARE(find<QCheckBox>("passThroughBox")->isChecked(), passThru);
        QVERIFY(m_answerer->seen.isEmpty());
        for (int pick : picks) {
            choosePrinter(pick);
            if (QTest::currentTestFailed())
                return;
        }

        QCOMPARE(m_answerer->seen, warnings);
        QCOMPARE(m_state->mode, qint16(modeAfter));
        QCOMPARE(stored("Mode"), QString::number(modeAfter));
        QCOMPARE(find<QLabel>("modePanel")->text(),
                 modeAfter == 0 ? QString("Serial Mode") : QString("TCP/IP Mode"));
        // The line settings reach the state, the port and the store; the port
        // number stays.
        QCOMPARE(m_state->lineSettings, settings);
        QCOMPARE(m_state->handshaking, qint16(handshaking));
        QCOMPARE(m_window->serialPort().settings(), settings);
        QCOMPARE(m_window->serialPort().handshaking(), handshaking);
        QCOMPARE(m_state->comPort, qint16(2));
        QCOMPARE(m_window->serialPort().commPort(), 2);
        QCOMPARE(m_store->read("Settings", "9600,N,8,1"), settings);
        QCOMPARE(m_store->read("Handshaking", "1"), QString::number(handshaking));
        QCOMPARE(stored("Comport"), QString("2"));
        if (modeAfter == 0 && !warnings.isEmpty())
            QCOMPARE(find<QLabel>("linkPanel")->text(),
                     "Com2 " + settings + (handshaking == 2 ? " RTS/CTS" : " Xon/Xoff"));

        QCOMPARE(m_window->status(), status);
        QCOMPARE(find<QCheckBox>("passThroughBox")->isVisibleTo(m_window.get()), boxShown);
        QVERIFY(!find<QCheckBox>("passThroughBox")->isChecked() || !boxShown);
        QCOMPARE(stored("PassThru"), passThruStored);
        QCOMPARE(m_state->printer, qint16(picks.last()));
        QCOMPARE(stored("Printer"), QString::number(picks.last()));
    }

    void passThroughBox_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<int>("modeAfter");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("stored");
        QTest::newRow("serial, checked")
            << 0 << 1 << QStringList{} << 0 << kPrinterPrompt << "True";
        QTest::newRow("serial, checked and cleared")
            << 0 << 2 << QStringList{} << 0 << kKeypadPrompt << "False";
        QTest::newRow("TCP/IP, checked keeps TCP/IP")
            << 1 << 1 << QStringList{} << 1 << kPrinterPrompt << "True";
        QTest::newRow("TCP/IP, checked and cleared falls back to serial")
            << 1 << 2 << QStringList{kKeypad} << 0 << kKeypadPrompt << "False";
    }
    void passThroughBox() {
        QFETCH(int, mode);
        QFETCH(int, clicks);
        QFETCH(QStringList, warnings);
        QFETCH(int, modeAfter);
        QFETCH(QString, status);
        QFETCH(QString, stored);
        m_store->write("Mode", QString::number(mode));
        m_store->write("Printer", "3");
        load();
        for (int i = 0; i < clicks; ++i)
            clickBox("passThroughBox");
        QCOMPARE(find<QCheckBox>("passThroughBox")->isChecked(), clicks == 1);
        QCOMPARE(m_state->passThrough, clicks == 1);
        QCOMPARE(m_answerer->seen, warnings);
        QCOMPARE(m_state->mode, qint16(modeAfter));
        QCOMPARE(m_window->status(), status);
        QCOMPARE(this->stored("PassThru"), stored);
    }

    void typingInThePrinterListChangesNothing() {
        load();
        auto *combo = find<QComboBox>("printerList");
        const QString status = m_window->status();
        QTest::keyClicks(combo, "T5rK ");
        QCOMPARE(combo->currentIndex(), 0);
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClicks(combo->view(), "T");
        QCOMPARE(combo->view()->currentIndex().row(), 0);
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(m_window->status(), status);
        QCOMPARE(stored("Printer"), QString("0"));
        // The arrow keys still pick from the list.
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(stored("Printer"), QString("1"));
    }

    void views_data() {
        QTest::addColumn<bool>("startWide");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<bool>("portOpen");
        QTest::newRow("Standard from the lookup view")
            << true << "standardViewAction" << false << false;
        QTest::newRow("Lookup File cleared") << true << "lookupBox" << false << false;
        QTest::newRow("w/Lookup File from the standard view")
            << false << "lookupViewAction" << true << true;
        QTest::newRow("Lookup File checked") << false << "lookupBox" << true << true;
        QTest::newRow("Standard again, list already empty")
            << false << "standardViewAction" << false << false;
    }
    void views() {
        QFETCH(bool, startWide);
        QFETCH(QString, action);
        QFETCH(bool, wide);
        QFETCH(bool, portOpen);
        m_store->write("LLU", startWide ? "True" : "False");
        load();
        if (startWide) {
            addLookups({"a.txt", "b.txt"});
            QCOMPARE(find<QListWidget>("lookupList")->count(), 2);
        }
        QVERIFY(m_window->serialPort().isOpen());
        if (action == "lookupBox")
            clickBox("lookupBox");
        else
            find<QAction>(qPrintable(action))->trigger();

        const int width = wide ? MainWindow::kLookupWidth : MainWindow::kStandardWidth;
        QCOMPARE(m_window->width(), m_window->scaledWidth(width));
        QCOMPARE(find<QGroupBox>("lookupGroup")->isVisible(), wide);
        QCOMPARE(find<QAction>("lookupViewAction")->isChecked(), wide);
        QCOMPARE(find<QAction>("standardViewAction")->isChecked(), !wide);
        QCOMPARE(find<QCheckBox>("lookupBox")->isChecked(), wide);
        QCOMPARE(m_state->lookupView, wide);
        QCOMPARE(stored("LLU"), wide ? QString("True") : QString("False"));
        if (!wide) {
            QCOMPARE(find<QListWidget>("lookupList")->count(), 0);
            QCOMPARE(find<QListWidget>("lookupPaths")->count(), 0);
        }
        QCOMPARE(m_window->serialPort().isOpen(), portOpen);
        // Centred on the screen after the change.
        const QPoint offset =
            m_window->frameGeometry().center() - m_window->screen()->geometry().center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
                 qPrintable(QString("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    void bundleShownInTheLookupViewDisablesTheLookupButtons() {
        load();
        m_chooser->answers.push_back(QStringList{m_dir->filePath("SET.ALL")});
        QTest::mouseClick(find<QPushButton>("addAppButton"), Qt::LeftButton);
        find<QAction>("lookupViewAction")->trigger();
        QVERIFY(find<QGroupBox>("lookupGroup")->isVisible());
        for (const char *name :
             {"addLookupButton", "removeLookupButton", "removeAllButton", "upButton", "downButton"})
            QVERIFY2(!find(name)->isEnabled(), name);
        QVERIFY(find<QPushButton>("downloadButton")->isEnabled());
        QCOMPARE(m_window->status(), QString("Set Printer to Data Transfer/Receive"));
    }

    void passThroughLeftCheckedBehindAnotherModelDoesNotCount() {
        m_store->write("Printer", "3");
        m_store->write("PassThru", "True");
        load();
        QVERIFY(m_window->isPassThruChecked());
        choosePrinter(5);
        QVERIFY(!find<QCheckBox>("passThroughBox")->isVisibleTo(m_window.get()));
        QVERIFY(!m_window->isPassThruChecked());
    }
};

QTEST_MAIN(tst_PrinterSelection)
#include "tst_printerselection.moc"

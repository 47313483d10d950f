#include "DefaultSettingsPrompt.h"
#include "ModalAnswerer.h"
#include "SerialPortControl.h"
#include "WindowRig.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>

// The default-settings prompt before a download, its "Don't show again"
// box and the menu entry, and the Help command.
class tst_Prompt : public QObject, protected WindowRig {
    Q_OBJECT

    // An application chosen, as the editor leaves it.
    void chooseApplication() {
        const QString path = m_dir->filePath("app.fpc");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{XA,1}\r\n");
        f.close();
        m_state->appPath = path;
        m_state->appTitle = "app.fpc";
        m_window->ui().appFileLabel->setText("app.fpc");
        m_window->setDownloadCommandsEnabled(true);
    }
    QString stored(const char *key) { return m_store->read(key, "<missing>"); }

public Q_SLOTS:
    void openUrl(const QUrl &url) { m_opened << url; }

private:
    QList<QUrl> m_opened;

private Q_SLOTS:
    void init() {
        resetWindowRig();
        plugSilentLine(1);
        m_opened.clear();
    }
    void cleanup() { closeWindowRig(); }

    void yesReopensThePortWithTheModelsSettings() {
        load();
        chooseApplication();
        QString asked;
        ModalAnswerer answer([&](QWidget *w) {
            auto *prompt = qobject_cast<DefaultSettingsPrompt *>(w);
            QVERIFY(prompt);
            asked = prompt->descriptionLabel->text();
            prompt->yesButton->click();
        });
        m_window->ui().downloadButton->click();
        QCOMPARE(answer.answered(), 1);
        QCOMPARE(asked, QString("The Communication Setting for the Q410/15/17 is not the default "
                                "setting for the Printer.\r\n\r\nDo you want to set default comm "
                                "settings?"));
        QCOMPARE(stored("Settings"), QString("9600,o,7,1"));
        QCOMPARE(stored("Handshaking"), QString("1"));
        QCOMPARE(stored("Comport"), QString("1"));
        QCOMPARE(stored("Mode"), QString("0"));
        QVERIFY(m_window->serialPort().isOpen());
        QCOMPARE(m_window->serialPort().settings(), QString("9600,o,7,1"));
        QCOMPARE(m_window->ui().linkPanel->text(), QString("Com1 9600,o,7,1 Xon/Xoff"));
        // The download went on: the first packet reached the line.
        QCOMPARE(m_pty->readAvailable(), QByteArray("{XA,1}"));
    }

    void cancelSendsNothingAndShowsTheOperatorPrompt() {
        load();
        chooseApplication();
        ModalAnswerer answer(
            [](QWidget *w) { qobject_cast<DefaultSettingsPrompt *>(w)->cancelButton->click(); });
        m_window->ui().downloadButton->click();
        QCOMPARE(answer.answered(), 1);
        QCOMPARE(m_pty->readAvailable(), QByteArray());
        QCOMPARE(m_window->status(), QString("Set Printer to Data Transfer/Receive"));
        const MainWindowUi &ui = m_window->ui();
        QVERIFY(ui.downloadButton->isEnabled());
        QVERIFY(ui.downloadAction->isEnabled());
        QVERIFY(ui.closeButton->isEnabled());
        QVERIFY(!ui.cancelButton->isEnabled());
        QVERIFY(ui.printerGroup->isEnabled());
        QVERIFY(ui.applicationGroup->isEnabled());
        QVERIFY(!ui.progressBar->isVisible());
        QCOMPARE(stored("Settings"), QString("<missing>"));
    }

    void closingThePromptCountsAsCancel() {
        load();
        chooseApplication();
        int showing = 0;
        ModalAnswerer answer([&](QWidget *w) {
            auto *prompt = qobject_cast<DefaultSettingsPrompt *>(w);
            if (++showing == 1)
                prompt->noButton->click();
            else
                prompt->reject(); // closed with Escape or the title bar
        });
        m_window->ui().downloadButton->click();
        QCOMPARE(m_window->prompt().button(), qint16(DefaultSettingsPrompt::No));
        QCOMPARE(m_pty->readAvailable(), QByteArray("{XA,1}"));
        // The earlier No must not stand for a prompt closed without an answer.
        m_window->ui().downloadButton->click();
        QCOMPARE(showing, 2);
        QCOMPARE(m_window->prompt().button(), qint16(DefaultSettingsPrompt::Cancel));
        QCOMPARE(m_pty->readAvailable(), QByteArray());
    }

    void menuEntryAndBoxAgreeWithTheStore() {
        load();
        QAction *menu = m_window->ui().defaultCheckAction;
        QCheckBox *never = m_window->prompt().neverBox;
        QVERIFY(menu->isChecked());
        QVERIFY(!never->isChecked());
        menu->trigger();
        QVERIFY(!menu->isChecked());
        QVERIFY(never->isChecked());
        QCOMPARE(stored("NeverShowDefault"), QString("True"));
        menu->trigger();
        QVERIFY(menu->isChecked());
        QVERIFY(!never->isChecked());
        QCOMPARE(stored("NeverShowDefault"), QString("False"));
    }

    void dontShowAgainInsideThePrompt() {
        load();
        chooseApplication();
        ModalAnswerer answer([](QWidget *w) {
            auto *prompt = qobject_cast<DefaultSettingsPrompt *>(w);
            prompt->neverBox->click();
            prompt->noButton->click();
        });
        m_window->ui().downloadButton->click();
        QCOMPARE(answer.answered(), 1);
        QCOMPARE(m_window->prompt().button(), qint16(DefaultSettingsPrompt::No));
        QVERIFY(!m_window->ui().defaultCheckAction->isChecked());
        QCOMPARE(stored("NeverShowDefault"), QString("True"));
        // No went on with the settings as they were.
        QCOMPARE(m_window->serialPort().settings(), QString("9600,N,8,1"));
        QCOMPARE(m_pty->readAvailable(), QByteArray("{XA,1}"));

        // The next download asks nothing, and neither does the next start.
        m_window->ui().downloadButton->click();
        QCOMPARE(answer.answered(), 1);
        m_window.reset();
        load();
        QVERIFY(m_window->prompt().neverBox->isChecked());
        QVERIFY(!m_window->ui().defaultCheckAction->isChecked());
    }

    void matchingSettingsAskNothing() {
        m_store->write("Settings", "9600,o,7,1");
        load();
        chooseApplication();
        ModalAnswerer answer([](QWidget *w) { w->close(); });
        m_window->ui().downloadButton->click();
        QCOMPARE(answer.answered(), 0);
    }

    void modelsWithoutTheirSequenceSendNothing_data() {
        QTest::addColumn<int>("printer");
        QTest::newRow("K72e") << 3;
        QTest::newRow("T540") << 5;
        QTest::newRow("R300") << 6;
        QTest::newRow("T523") << 7;
    }
    void modelsWithoutTheirSequenceSendNothing() {
        QFETCH(int, printer);
        m_store->write("Printer", QString::number(printer));
        load();
        chooseApplication();
        QString said;
        ModalAnswerer answer([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            said = box->text();
            box->accept();
        });
        m_window->ui().downloadButton->click();
        QCOMPARE(answer.answered(), 1);
        QVERIFY2(said.contains(m_window->ui().printerList->currentText()), qPrintable(said));
        QCOMPARE(m_pty->readAvailable(), QByteArray());
        QVERIFY(m_window->ui().downloadButton->isEnabled());
        QVERIFY(!m_statuses.contains("Download Complete"));
    }

    void helpWithoutItsFileSaysWhy() {
        load();
        m_window->setHelpFile(m_dir->filePath("ZELDL.chm"));
        QString text;
        QMessageBox::Icon icon = QMessageBox::Critical;
        ModalAnswerer answer([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            text = box->text();
            icon = box->icon();
            box->accept();
        });
        m_window->ui().helpContentsAction->trigger();
        QCOMPARE(answer.answered(), 1);
        QVERIFY2(text.contains(m_dir->filePath("ZELDL.chm")), qPrintable(text));
        QCOMPARE(icon, QMessageBox::NoIcon);
    }

    void helpOpensItsFileWithTheDesktopHandler() {
        load();
        const QString path = m_dir->filePath("ZELDL.chm");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        m_window->setHelpFile(path);
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        {
            ModalAnswerer answer([](QWidget *w) { w->close(); });
            m_window->toolbarButtonClicked("Help");
            QDesktopServices::unsetUrlHandler("file");
            QCOMPARE(answer.answered(), 0);
            QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        }

        m_window->setHelpFile(QString());
        QString text;
        ModalAnswerer notice([&](QWidget *w) {
            text = qobject_cast<QMessageBox *>(w)->text();
            w->close();
        });
        m_window->ui().helpContentsAction->trigger();
        QCOMPARE(text, QString("This option will display help."));
    }
};

QTEST_MAIN(tst_Prompt)
#include "tst_prompt.moc"

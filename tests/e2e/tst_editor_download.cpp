#include "FileDrag.h"
#include "ModalAnswerer.h"
#include "PrinterRig.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QByteArray kApp = "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n";
const QByteArray kAppWire = "{XA,1}{F,2,A|\r\n}{XB,2}";
const QByteArray kFormat = "{F,1,A,R,E,200,200,\"FMT1\"|\r\nC,10,10,0,1,1,1,W,\"HI\"|\r\n}\r\n";
const QByteArray kFormatWire = "{F,1,A,R,E,200,200,\"FMT1\"|C,10,10,0,1,1,1,W,\"HI\"|}";

// A lookup table and the record it becomes with the given number.
QByteArray table(char tag) {
    return QByteArray(1, tag) + "1\n" + QByteArray(1, tag) + "2|\n";
}
QByteArray record(int number, char tag) {
    return "{R" + QByteArray::number(number) + "_XXXX_" + QByteArray(1, tag) + "1|\r\n" +
           QByteArray(1, tag) + "2|\r\n}";
}
} // namespace

// A user builds a download set in the window, with the buttons and Qt's
// file dialog or by dropping files, and downloads it to the virtual printer
// on a pseudo-terminal.
class tst_EditorDownload : public QObject, protected PrinterRig {
    Q_OBJECT
    std::unique_ptr<ModalAnswerer> m_answerer;

    bool start() {
        if (!plugPrinter())
            return false;
        load();
        return true;
    }
    // Clicks an adding button and types the names into Qt's file dialog.
    void choose(const char *button, const QString &typed) {
        const QString folder = m_dir->path();
        m_answerer->setFileDialogHandler([folder, typed](QFileDialog *dialog) {
            dialog->setDirectory(folder);
            auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
            edit->setText(typed);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
        m_answerer->setFileDialogHandler({});
    }
    void clickRow(int row) {
        auto *list = find<QListWidget>("lookupList");
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList listed() {
        QStringList names;
        auto *list = find<QListWidget>("lookupList");
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
    void dropFiles(const QStringList &paths) {
        FileDrag drag(*m_window, paths);
        QVERIFY(drag.enter());
        QVERIFY(drag.drop());
    }

private Q_SLOTS:
    void init() {
        resetPrinterRig();
        m_answerer = std::make_unique<ModalAnswerer>();
    }
    void cleanup() {
        closePrinterRig();
        m_answerer.reset();
    }

    void buttonsAndDialogDownloadTheLookupsInTheListOrder() {
        makeFile("app.fpc", kApp);
        makeFile("label.fmt", kFormat);
        makeFile("t1.txt", table('a'));
        makeFile("t2.txt", table('b'));
        makeFile("t3.txt", table('c'));
        QVERIFY(start());

        // The lookup view, a first number of 2, then the files.
        QTest::mouseClick(find<QCheckBox>("lookupBox"), Qt::LeftButton, {}, QPoint(6, 6));
        QVERIFY(find("lookupGroup")->isVisible());
        QTest::keyClicks(find<QComboBox>("firstLookupList"), "2");
        choose("addAppButton", "app.fpc");
        choose("addFormatButton", "label.fmt");
        choose("addLookupButton", "\"t3.txt\" \"t1.txt\" \"t2.txt\"");
        QCOMPARE(listed(), (QStringList{"t3.txt", "t1.txt", "t2.txt"}));
        QCOMPARE(find<QLabel>("appFileLabel")->text(), QString("app.fpc"));
        QCOMPARE(find<QLabel>("formatFileLabel")->text(), QString("label.fmt"));

        // Reordered with a button and with the keyboard.
        clickRow(1);
        QTest::mouseClick(find<QPushButton>("downButton"), Qt::LeftButton);
        clickRow(1);
        QTest::keyClick(find<QListWidget>("lookupList"), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(listed(), (QStringList{"t2.txt", "t3.txt", "t1.txt"}));

        // A fresh store: the prompt offers the Q410's line settings, the user takes them.
        m_answerer->seen.clear();
        QTest::mouseClick(find<QPushButton>("downloadButton"), Qt::LeftButton);
        QCOMPARE(m_window->status(), QString("Download Complete"));
        QVERIFY(m_answerer->seen.size() == 1 && m_answerer->seen.first().startsWith("prompt|"));
        QVERIFY(statusesInOrder({"Downloading app.fpc", "Download Finished", "Downloading t2.txt",
                                 "Downloading t3.txt", "Downloading t1.txt", "SENDING {S }",
                                 "Download Complete"}));
        QTRY_COMPARE(m_printer->captured(), kAppWire + kFormatWire + record(2, 'b') +
                                                record(3, 'c') + record(4, 'a') + "{S }");
        QVERIFY(find<QPushButton>("downloadButton")->isEnabled());
        QVERIFY(!find("progressBar")->isVisible());
    }

    void droppedSamplesDownload_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("heads"); // what the printer receives, in order
        QTest::newRow("application, format and three lookups")
            << QStringList{"demo.fpc", "label.fmt", "fruit.txt", "stores.lu", "sizes.csv"}
            << QStringList{"{XS,DEMO,1}",
                           "{RK_XXXX_\r\nApple\r\n",
                           "{XE,DEMO}",
                           "{F,2,A,R,E,300,200,\"LABEL\"|",
                           "{R0_XXXX_Apple,1.20|\r\n",
                           "{R5_XXXX_North|\r\n",
                           "{R1_XXXX_S,Small|\r\n",
                           "{S }"};
        QTest::newRow("bundle") << QStringList{"demo.all"}
                                << QStringList{"{XS,DEMOALL,1}", "{R0_XXXX_Apple,1.20|\r\n",
                                               "{R1_XXXX_S,Small|\r\n", "{XE,DEMOALL}", "{S }"};
    }
    void droppedSamplesDownload() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, heads);
        m_store->write("LLU", "True");
        QVERIFY(start());
        QStringList paths;
        for (const QString &name : files)
            paths << QStringLiteral(ZELDL_SAMPLES_DIR "/") + name;
        dropFiles(paths);
        QTRY_VERIFY(find<QPushButton>("downloadButton")->isEnabled());
        QTest::mouseClick(find<QPushButton>("downloadButton"), Qt::LeftButton);
        QCOMPARE(m_window->status(), QString("Download Complete"));
        // A fresh store has other line settings: the user takes the defaults.
        QCOMPARE(m_answerer->seen, QStringList{"prompt|Comm Settings"});
        QCOMPARE(m_store->read("Settings", ""), QString("9600,o,7,1"));
        QTRY_VERIFY(m_printer->captured().endsWith("{S }"));
        const QByteArray wire = m_printer->captured();
        qsizetype at = 0;
        for (const QString &head : heads) {
            const qsizetype found = wire.indexOf(head.toLatin1(), at);
            QVERIFY2(found >= 0, qPrintable(head + " missing or out of order in " + wire));
            at = found + 1;
        }
    }
};

QTEST_MAIN(tst_EditorDownload)
#include "tst_editor_download.moc"

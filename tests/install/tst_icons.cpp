#include "MainWindowUi.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

// Toolbar icons from the desktop's theme, with our drawings where the theme
// has none.
class tst_Icons : public QObject {
    Q_OBJECT
    QTemporaryDir m_themes;

    QAction *toolbarAction(QMainWindow &window, const char *key) {
        return window.findChild<QToolBar *>("toolBar")->findChild<QAction *>(key);
    }

private Q_SLOTS:
    // A theme that has the help icon and nothing else.
    void initTestCase() {
        const QDir root(m_themes.path());
        QVERIFY(root.mkpath("plain/24x24/actions"));
        QFile index(root.filePath("plain/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=plain\nDirectories=24x24/actions\n\n"
                    "[24x24/actions]\nSize=24\nType=Fixed\n");
        index.close();
        QImage red(24, 24, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(root.filePath("plain/24x24/actions/help-contents.png")));
        QIcon::setThemeSearchPaths({root.path()});
        QIcon::setThemeName("plain");
    }

    void toolbarFromThemeElseOurs() {
        QMainWindow window;
        MainWindowUi ui;
        ui.setupUi(&window);
        QCOMPARE(toolbarAction(window, "Help")->icon().pixmap(24).toImage().pixelColor(12, 12),
                 QColor(Qt::red));
        // Compared as Qt draws them: a PNG's pixels are kept straight, an icon's premultiplied.
        constexpr auto drawn = QImage::Format_ARGB32_Premultiplied;
        for (const QString pair : {"Mode=mode", "CommSet=comm", "TCP/IP=tcpip", "Download=download",
                                   "About=about", "Exit=exit"}) {
            const QString key = pair.section('=', 0, 0), own = pair.section('=', 1);
            const QImage shown =
                toolbarAction(window, qPrintable(key))->icon().pixmap(24).toImage();
            const QImage ours(QStringLiteral(":/zeldl/toolbar/png/24/%1.png").arg(own));
            QVERIFY2(!ours.isNull() && shown.convertToFormat(drawn) == ours.convertToFormat(drawn),
                     qPrintable(key));
        }
    }
};

QTEST_MAIN(tst_Icons)
#include "tst_icons.moc"

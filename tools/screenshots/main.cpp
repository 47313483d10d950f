// zeldl-screenshots STATE FILE.png SAMPLES_DIR
// Opens the real window on fresh settings, brings it into STATE with the
// sample set and saves the window as FILE.png. Com1 is what ZELDL_COM1 names
// (scripts/screenshots.sh points it at zelsim). States:
//   empty     the window as it starts
//   lookups   the sample set in the lookup view
//   progress  a download under way (zelsim should answer slowly)
//   error     a download ended by a packet error (zelsim should refuse one)
#include "DownloadSet.h"
#include "DownloadSetPanel.h"
#include "MainWindow.h"
#include "MainWindowUi.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {
bool save(QWidget &window, const QString &path) {
    if (window.grab().save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zeldl"));
    const QStringList args = QApplication::arguments();
    const QStringList states{"empty", "lookups", "progress", "error"};
    if (args.size() != 4 || !states.contains(args[1])) {
        std::fprintf(stderr, "usage: zeldl-screenshots %s FILE.png SAMPLES_DIR\n",
                     qPrintable(states.join(QLatin1Char('|'))));
        return 2;
    }
    const QString state = args[1];
    const QString output = QDir::current().absoluteFilePath(args[2]);
    const QDir samples(args[3]);

    // Settings, working file and instance lock of a user of their own: the
    // real user's are never touched.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    SharedState shared;
    DownloadSet set;
    SettingsStore store;
    // The Q410's own line settings, so that no prompt comes up.
    store.write(QStringLiteral("Settings"), QStringLiteral("9600,o,7,1"));
    store.write(QStringLiteral("LLU"), state == "empty" ? "False" : "True");
    MainWindow window(shared, set, store, nullptr);
    window.restoreSettings();
    window.show();

    int result = 1;
    if (state != "empty") {
        DownloadSetPanel &editor = window.downloadSet();
        editor.takeApplication(samples.filePath(QStringLiteral("demo.fpc")));
        editor.takeFormat(samples.filePath(QStringLiteral("label.fmt")));
        editor.takeLookups({samples.filePath(QStringLiteral("fruit.txt")),
                            samples.filePath(QStringLiteral("stores.lu")),
                            samples.filePath(QStringLiteral("sizes.csv"))});
    }
    bool taken = false;
    if (state == "progress")
        // During the application's transfer, once the window shows the second reply.
        QObject::connect(&window, &MainWindow::statusWritten, &window, [&](const QString &text) {
            if (taken || !text.startsWith(QLatin1String("{CP=0,P=002")))
                return;
            taken = true;
            QTimer::singleShot(0, &window, [&] {
                result = save(window, output) ? 0 : 1;
                window.ui().cancelButton->click();
            });
        });
    QTimer::singleShot(0, &window, [&] {
        if (state == "progress" || state == "error")
            window.ui().downloadButton->click(); // returns when the download has ended
        if (state != "progress")
            result = save(window, output) ? 0 : 1;
        else if (!taken)
            std::fprintf(stderr, "the download ended before its second reply: %s\n",
                         qPrintable(window.status()));
        QApplication::quit();
    });
    QApplication::exec();
    return result;
}

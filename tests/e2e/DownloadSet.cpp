#include "DownloadSet.h"

#include "MainWindow.h"
#include "SharedState.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

void putDownloadSet(MainWindow &window, SharedState &state, const QString &app,
                    const QString &format, const QStringList &lookups) {
    const MainWindowUi &ui = window.ui();
    state.appPath = app;
    state.appTitle = app.isEmpty() ? QString() : QFileInfo(app).fileName();
    ui.appFileLabel->setText(state.appTitle);
    state.isBundle = app.contains(".all") || app.contains(".ALL");
    state.formatPath = format;
    state.formatTitle = format.isEmpty() ? QString() : QFileInfo(format).fileName();
    ui.formatFileLabel->setText(state.formatTitle);
    ui.lookupList->clear();
    ui.lookupPaths->clear();
    for (const QString &path : lookups) {
        ui.lookupList->addItem(QFileInfo(path).fileName());
        ui.lookupPaths->addItem(path);
    }
    window.setDownloadCommandsEnabled(true);
}

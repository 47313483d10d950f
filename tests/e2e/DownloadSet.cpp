#include "DownloadSet.h"

#include "SharedState.h"
#include "frmMain.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

void putDownloadSet(frmMain &window, SharedState &state, const QString &app, const QString &format,
                    const QStringList &lookups) {
    const MainWindowUi &ui = window.ui();
    state.mstrZELFileName = app;
    state.mstrZELFileTitle = app.isEmpty() ? QString() : QFileInfo(app).fileName();
    ui.lblZELAppFilename->setText(state.mstrZELFileTitle);
    state.gblnAllFile = app.contains(".all") || app.contains(".ALL");
    state.mstrFormatFileName = format;
    state.mstrFormatFileTitle = format.isEmpty() ? QString() : QFileInfo(format).fileName();
    ui.lblFormat->setText(state.mstrFormatFileTitle);
    ui.lstLookups->clear();
    ui.lstPaths->clear();
    for (const QString &path : lookups) {
        ui.lstLookups->addItem(QFileInfo(path).fileName());
        ui.lstPaths->addItem(path);
    }
    window.setDownloadCommandsEnabled(true);
}

#pragma once

#include <QString>
#include <QStringList>

class MainWindow;
struct SharedState;

// Puts a download set into the window as the editor leaves it after the
// operator chose the files.
void putDownloadSet(MainWindow &window, SharedState &state, const QString &app,
                    const QString &format, const QStringList &lookups);

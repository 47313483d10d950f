#pragma once

#include "MainWindow.h"
#include "PtyPair.h"
#include "SettingsStore.h"
#include "SharedState.h"

#include <QDebug>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class FileChooser;

// The real window on a fresh state and store, with the case's settings and
// working file in a folder of its own. A test class derives from it, calls
// resetWindowRig() before each case and closeWindowRig() after it.
class WindowRig {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;
    // Every text the window put on its status line, in order.
    QStringList m_statuses;

    void resetWindowRig();
    // The window gives up the line before the line goes.
    void closeWindowRig();
    // A pseudo-terminal with nobody on its other end, as Com`port`.
    void plugSilentLine(int port);
    // Opens the window as the program starts it, on the store as it is.
    MainWindow &load(FileChooser *chooser = nullptr);

    template <typename T = QWidget> T *find(const QString &name) {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qWarning() << "missing control" << name;
        return w;
    }
    // `name` in the case's folder, written with `bytes`.
    QString makeFile(const QString &name, const QByteArray &bytes);
    // The texts appear in this order (others may come between them).
    bool statusesInOrder(const QStringList &expected) const;
};

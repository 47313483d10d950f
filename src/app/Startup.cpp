#include "Startup.h"

#include "DownloadSet.h"
#include "InstanceLock.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "SignalWatcher.h"

#include <QApplication>
#include <QMessageBox>

bool checkSingleInstance(InstanceLock &lock) {
    switch (lock.tryTake()) {
    case InstanceLock::Outcome::Taken:
        return true;
    case InstanceLock::Outcome::Unavailable:
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QStringLiteral("The mechanism to ensure only one instance of this "
                                             "app has failed for unknown reasons."));
        return true;
    case InstanceLock::Outcome::HeldElsewhere:
        break;
    }
    QMessageBox::information(nullptr, QStringLiteral("App Running"),
                             QStringLiteral("This application is already running"));
    return false;
}

void releaseSingleInstance(SharedState &state, InstanceLock *lock) {
    if (lock)
        lock->release();
    if (state.exitRequested) {
        // Every window goes away now; waits still on the stack give up at
        // once (they watch exitRequested) and the event loop then ends.
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows)
            w->hide();
        QCoreApplication::exit(0);
    }
}

int runApplication() {
    SharedState state;
    SettingsStore store;
    InstanceLock lock;
    if (!checkSingleInstance(lock)) {
        // The running instance restores and raises its window.
        InstanceLock::askHolderToRaise();
        return 0;
    }
    DownloadSet set;
    MainWindow window(state, set, store, &lock);
    QObject::connect(&lock, &InstanceLock::raiseRequested, &window, &MainWindow::bringToFront);
    // Asked to end from outside: the same close path as the window's own.
    SignalWatcher terminations;
    QObject::connect(&terminations, &SignalWatcher::terminationRequested, &window, &QWidget::close);
    window.restoreSettings();
    window.show();
    return QApplication::exec();
}

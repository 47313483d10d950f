#include "modMain.h"

#include "InstanceLock.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "frmMain.h"

#include <QApplication>
#include <QMessageBox>

bool CheckSingleInstance(InstanceLock &lock) {
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

void ReleaseSingleInstance(SharedState &state, InstanceLock *lock) {
    if (lock)
        lock->release();
    if (state.mblnExitApp) {
        // Every window goes away now; waits still on the stack give up at
        // once (they watch mblnExitApp) and the event loop then ends.
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows)
            w->hide();
        QCoreApplication::exit(0);
    }
}

int Main() {
    SharedState state;
    SettingsStore store;
    InstanceLock lock;
    if (!CheckSingleInstance(lock)) {
        // The running instance restores and raises its window.
        InstanceLock::askHolderToRaise();
        return 0;
    }
    frmMain window(state, store, &lock);
    QObject::connect(&lock, &InstanceLock::raiseRequested, &window, &frmMain::bringToFront);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}

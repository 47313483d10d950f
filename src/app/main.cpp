#include "Startup.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zeldl"));
    // Wayland matches the window to its menu entry by this name.
    QApplication::setDesktopFileName(QStringLiteral("zeldl"));
    return runApplication();
}

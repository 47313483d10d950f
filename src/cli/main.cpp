#include "CliProgram.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    // Line by line even into a pipe, so that whoever reads the status lines
    // sees each as it comes.
    std::setvbuf(stderr, nullptr, _IOLBF, BUFSIZ);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeldl-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELDL_VERSION));
    return CliProgram().run(QCoreApplication::arguments());
}

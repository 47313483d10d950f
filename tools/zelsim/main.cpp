#include "SignalWatcher.h"
#include "SimConfig.h"
#include "Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELSIM_VERSION));
    // A reader of our stdout that goes away must not kill the printer.
    std::signal(SIGPIPE, SIG_IGN);
    SignalWatcher watcher;

    QCommandLineParser parser;
    zelsim::SimConfig::addOptions(parser);
    parser.process(app);
    QString error;
    const std::optional<zelsim::SimConfig> config = zelsim::SimConfig::fromParser(parser, &error);
    if (!config) {
        std::fprintf(stderr, "zelsim: %s\n", qPrintable(error));
        return 2;
    }

    QFile console;
    if (!console.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;
    zelsim::Simulator simulator(*config, &console);
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "zelsim: %s\n", qPrintable(error));
        return 1;
    }
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &app, [&] {
        simulator.stop();
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}

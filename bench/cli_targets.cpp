// The command line's two benchmarks, run by hand:
//  1. a dry run of a 200 MB application: time and peak memory (goal: under
//     80 MB);
//  2. eight zelsim printers on loopback, each answering after 0.2 s: the time
//     for eight targets over the time for one (goal: at most 1.3).
// Usage: bench_cli_targets [MEGABYTES] [PACKETS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {
struct Printer {
    QProcess process;
    QString port;
    Printer() {
        process.start(ZELSIM_PATH, {"--tcp", "127.0.0.1:0", "--fault", "delay=200"});
        while (port.isEmpty() && process.waitForReadyRead(10000)) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("tcp: "))
                port = QString::fromLatin1(line).section(':', 2);
        }
    }
    ~Printer() {
        process.terminate();
        process.waitForFinished(10000);
    }
};

// Seconds the command line takes; -1 when it did not end with status 0.
double timed(const QStringList &args) {
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    cli.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    cli.start(ZELDL_CLI_PATH, args);
    if (!cli.waitForFinished(-1) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
        return -1.0;
    return double(clock.nsecsElapsed()) / 1e9;
}

bool writeApplication(const QString &path, qint64 bytes, int packets) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray line = "{XD,0123456789,ABCDEFGHIJKLMNOPQRSTUVWXYZ,abcdefghijklmnopqrstuvwxyz,"
                            "0123456789012345678}\r\n";
    const QByteArray block = line.repeated(1000);
    for (qint64 written = 0; written < bytes; written += block.size())
        if (file.write(block) != block.size())
            return false;
    for (int i = 0; i < packets; ++i)
        file.write("{XA," + QByteArray::number(i) + "}\r\n");
    return true;
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 megabytes = args.value(1, "200").toLongLong();
    const int packets = args.value(2, "10").toInt();
    QTemporaryDir dir;

    // The dry run first: peak memory is the largest of the children waited for.
    const QString big = dir.filePath("big.fpc");
    if (!writeApplication(big, megabytes * 1000 * 1000, 0)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(big));
        return 1;
    }
    const double dry = timed({"download", "--model", "Q410", "--app", big, "--to", "com1",
                              "--dry-run", dir.filePath("dry.bin")});
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::printf("dry run of %lld MB: %.2f s, peak RSS %.1f MB (goal < 80 MB)\n", megabytes, dry,
                double(usage.ru_maxrss) / 1024.0);
    QFile::remove(big);
    QFile::remove(dir.filePath("dry.bin"));

    const QString small = dir.filePath("app.fpc");
    writeApplication(small, 0, packets);
    std::unique_ptr<Printer> printers[8];
    QStringList targets;
    for (auto &printer : printers) {
        printer = std::make_unique<Printer>();
        targets << "--to"
                << "tcp:127.0.0.1:" + printer->port;
    }
    const QStringList download{"download", "--model", "T540", "--app", small};
    const double one = timed(download + targets.mid(0, 2));
    const double eight = timed(download + targets);
    std::printf("%d packets at 0.2 s a reply: one target %.2f s, eight targets %.2f s, "
                "ratio %.2f (goal <= 1.3)\n",
                packets, one, eight, eight / one);
    return dry > 0 && one > 0 && eight > 0 ? 0 : 1;
}

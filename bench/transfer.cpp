// Sends a generated application to zelsim over a pseudo-terminal: once with
// the utility's transfer (framing, acknowledged packets, reply judging, event
// loop) and once with a minimal blocking sender doing the same framing and
// waits. Reports lines per second, the ratio of the two times, and the peak
// memory of the utility's transfer for a 20 MB and a 200 MB application.
#include "Clock.h"
#include "DownloadSet.h"
#include "FakeView.h"
#include "FileSender.h"
#include "Framing.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kPackets = 50000;

struct Printer {
    QProcess process;
    QString tty;
    bool start() {
        process.start(QStringLiteral(ZELSIM_PATH), {"--serial"});
        if (!process.waitForStarted(10000))
            return false;
        while (tty.isEmpty() && process.waitForReadyRead(10000)) {
            while (process.canReadLine()) {
                const QByteArray line = process.readLine().trimmed();
                if (line.startsWith("serial: "))
                    tty = QString::fromLocal8Bit(line.mid(8));
            }
        }
        return !tty.isEmpty();
    }
    ~Printer() {
        process.terminate();
        process.waitForFinished(10000);
    }
};

// Lines of 400 bytes with their line ends, so 20 MB make 50,000 lines; every
// line that closes an acknowledged packet ends in "}", the others stream
// without a reply.
QString makeApplication(const QTemporaryDir &dir, int megabytes, qint64 *lines) {
    const QString path = dir.filePath(QStringLiteral("bench.fpc"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const QByteArray payload(380, 'D');
    const qint64 total = qint64(megabytes) * 1000 * 1000 / 400;
    const qint64 perPacket = std::max<qint64>(1, total / kPackets);
    for (qint64 i = 0; i < total; ++i) {
        if (i % perPacket == 0)
            file.write("{XB," + QByteArray::number(i).rightJustified(9, '0') + "," + payload);
        else
            file.write(payload + QByteArray(14, 'E'));
        file.write((i % perPacket == perPacket - 1) ? "}\r\n" : "|\r\n");
    }
    *lines = total;
    return path;
}

double runUtility(const QString &tty, const QString &app) {
    qputenv("ZELDL_COM1", tty.toLocal8Bit());
    SharedState state;
    FakeView view;
    SerialPortControl port;
    SerialLink link(state, port, view);
    // The serial transfer never touches the socket link (mode 0).
    SocketControl socketControl;
    SocketLink socket(state, view, socketControl);
    DownloadSet set;
    set.setApplication(app);
    FileSender sender(state, set, view, link, socket);
    state.handshaking = 0;
    state.replyTimeout = 30.0f;
    link.configurePort();
    QElapsedTimer timer;
    timer.start();
    sender.send(FileSender::Kind::Application, app, set.applicationName());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (view.current != QLatin1String("Download Finished"))
        std::fprintf(stderr, "transfer ended with: %s\n", qPrintable(view.current));
    return seconds;
}

// The least a sender can do: blocking writes and blocking reads of 14 bytes.
double runBaseline(const QString &tty, const QString &app) {
    const int fd = ::open(QFile::encodeName(tty).constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    QFile file(app);
    file.open(QIODevice::ReadOnly);
    QElapsedTimer timer;
    timer.start();
    Framing::State framing;
    char reply[64];
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        const QByteArray framed = Framing::frameLine(line, framing);
        for (qsizetype done = 0; done < framed.size();)
            done += std::max<ssize_t>(
                0, ::write(fd, framed.constData() + done, size_t(framed.size() - done)));
        if (Framing::awaitsReply(line, framed, framing, true)) {
            for (int got = 0; got < 14;)
                got += int(std::max<ssize_t>(0, ::read(fd, reply + got, size_t(14 - got))));
        }
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    ::close(fd);
    return seconds;
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}
} // namespace

int main(int argc, char *argv[]) {
    qputenv("ZELDL_TIME_SCALE", "1");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    const QStringList args = QCoreApplication::arguments();

    if (args.size() == 3 && args[1] == "--rss") {
        qint64 lines = 0;
        const QString file = makeApplication(dir, args[2].toInt(), &lines);
        Printer printer;
        if (!printer.start())
            return 1;
        const double seconds = runUtility(printer.tty, file);
        std::printf("memory: %s MB application, %lld lines in %.1f s, peak RSS %ld MB "
                    "(target < 80 MB)\n",
                    qPrintable(args[2]), lines, seconds, peakRssMb());
        return 0;
    }

    qint64 lines = 0;
    const QString file = makeApplication(dir, 20, &lines);
    double baseline = 0, utility = 0;
    {
        Printer printer;
        if (!printer.start())
            return 1;
        baseline = runBaseline(printer.tty, file);
    }
    {
        Printer printer;
        if (!printer.start())
            return 1;
        utility = runUtility(printer.tty, file);
    }
    std::printf("transfer: 20 MB, %lld lines, %d acknowledged packets\n", lines, kPackets);
    std::printf("  utility  %.2f s, %.0f lines/s\n", utility, double(lines) / utility);
    std::printf("  baseline %.2f s, %.0f lines/s\n", baseline, double(lines) / baseline);
    std::printf("  ratio %.2f (target <= 2.0)\n", utility / baseline);
    std::fflush(stdout);

    for (const char *size : {"20", "200"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--rss", size});
        child.waitForFinished(-1);
    }
    return 0;
}

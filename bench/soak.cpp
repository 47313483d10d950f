// 500 whole downloads in a row to zelsim, alternating the serial link and
// TCP/IP, through the real engine (Download command, sequences, lookup stage,
// both links). Compares the first and the last downloads: open file
// descriptors, resident memory and time per download must stay flat.
#include "Clock.h"
#include "DownloadCommand.h"
#include "DownloadSet.h"
#include "FakeView.h"
#include "FileSender.h"
#include "LookupStage.h"
#include "ModelSequences.h"
#include "PrinterModels.h"
#include "SerialLink.h"
#include "SerialPortControl.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "SocketControl.h"
#include "SocketLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int kDownloads = 500;
constexpr int kCompared = 20;

// The printer on a pseudo-terminal and a loopback port.
struct Printer {
    QProcess process;
    QString tty;
    QString port;
    bool start() {
        process.start(QStringLiteral(ZELSIM_PATH), {"--serial", "--tcp", "127.0.0.1:0"});
        while ((tty.isEmpty() || port.isEmpty()) && process.waitForReadyRead(10000))
            while (process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process.readLine().trimmed());
                if (line.startsWith(QLatin1String("serial: ")))
                    tty = line.mid(8);
                if (line.startsWith(QLatin1String("tcp: ")))
                    port = line.section(QLatin1Char(':'), 2);
            }
        return !tty.isEmpty() && !port.isEmpty();
    }
    ~Printer() {
        process.terminate();
        process.waitForFinished(10000);
    }
};

int openDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot).size());
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

struct Sample {
    int descriptors = 0;
    long rssKb = 0;
    double seconds = 0;
};
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    // The pauses and waits run at a hundredth of real time, as in the tests.
    Clock::setScale(0.01);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toUtf8());
    Printer printer;
    if (!printer.start())
        return 1;
    qputenv("ZELDL_COM1", printer.tty.toLocal8Bit());

    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QLatin1String(name)));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    };
    SharedState state;
    state.printer = Printers::R300;
    state.ipAddress = QStringLiteral("127.0.0.1");
    state.ipPort = printer.port.toInt();
    DownloadSet set;
    set.setApplication(write("app.fpc", "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n"));
    set.addLookups({write("t1.txt", "A\r\nB|\r\n"), write("t2.txt", "C\r\n")});
    SettingsStore store;
    FakeView view;
    view.promptSuppressed = true;
    SerialPortControl port;
    SerialLink serial(state, port, view);
    SocketControl control;
    SocketLink socket(state, view, control);
    FileSender sender(state, set, view, serial, socket);
    LookupStage lookups(state, set, view, serial, sender);
    ModelSequences models(state, set, view, serial, socket, sender);
    DownloadCommand command(state, set, store, view, serial, socket, sender, lookups, models,
                            nullptr);
    serial.configurePort();

    QList<Sample> samples;
    int failed = 0;
    for (int i = 0; i < kDownloads; ++i) {
        state.mode = qint16(i % 2);
        QElapsedTimer timer;
        timer.start();
        command.run();
        samples << Sample{openDescriptors(), residentKb(), double(timer.nsecsElapsed()) / 1e9};
        if (view.current != QLatin1String("Download Complete")) {
            ++failed;
            std::fprintf(stderr, "download %d ended with: %s\n", i + 1, qPrintable(view.current));
        }
    }
    const auto average = [&](int from) {
        Sample sum;
        for (int i = from; i < from + kCompared; ++i) {
            sum.descriptors = std::max(sum.descriptors, samples[i].descriptors);
            sum.rssKb = std::max(sum.rssKb, samples[i].rssKb);
            sum.seconds += samples[i].seconds / kCompared;
        }
        return sum;
    };
    // The first downloads warm up; compare the next ones with the last.
    const Sample first = average(kCompared), last = average(kDownloads - kCompared);
    std::printf("soak: %d downloads (%d failed), serial and TCP/IP alternating\n", kDownloads,
                failed);
    std::printf("  file descriptors   %d -> %d\n", first.descriptors, last.descriptors);
    std::printf("  resident memory    %ld kB -> %ld kB\n", first.rssKb, last.rssKb);
    std::printf("  time per download  %.1f ms -> %.1f ms\n", first.seconds * 1000,
                last.seconds * 1000);
    const bool flat = failed == 0 && first.descriptors == last.descriptors &&
                      last.rssKb - first.rssKb <= 2048 && last.seconds <= first.seconds * 1.1;
    std::printf("  %s\n", flat ? "flat" : "NOT flat");
    return flat ? 0 : 2;
}

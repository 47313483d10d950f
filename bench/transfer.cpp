// Sends a generated 20 MB application of 50,000 acknowledged packets to
// zelsim (instant replies) over a pseudo-terminal and over TCP loopback:
// once with the utility's transfer (framing, acknowledged packets, reply
// judging, event loop, traffic recorder) and once with a minimal blocking
// client doing the same exchange. Prints, per link, the best real time of
// each over some rounds, their ratio, the CPU time each used and the
// utility's peak memory; then the peak memory of a 200 MB application on
// each link. A TCP run keeps its client and its printer on one CPU unless
// --unpinned. With --trace-pane it compares instead the utility with its
// Traffic pane closed, open, and without a recorder at all, and measures
// the 200 MB application with the pane open. The plain comparison runs the
// transfer without widgets, as the command line does; the pane comparison
// runs all three with them, as the window does.
//
//   bench_transfer [--rounds N] [--unpinned] [--trace-pane]
//   bench_transfer --run LINK WHO FILE [--unpinned] [--widgets]
//       one run: LINK serial or tcp, WHO utility, utility-pane, untraced or
//       reference; --widgets: in a widget application
#include "BenchApplication.h"
#include "CpuPin.h"
#include "ReferenceClient.h"
#include "SimulatedPrinter.h"
#include "Stopwatch.h"
#include "UtilityClient.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {
constexpr double kTargetRatio = 1.2;
constexpr double kTargetPaneRatio = 1.05;
constexpr long kTargetPeakMb = 80;
const char *const kLinks[] = {"serial", "tcp"};

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Runs in a child process of its own, so that each run starts with a fresh
// printer and its peak memory is its own. Prints "run SECONDS CPU PEAK_KB".
int runOnce(const QString &link, const QString &who, const QString &application, bool pinned) {
    const bool serial = link == QLatin1String("serial");
    // Before the printer starts: it inherits the CPU. Not on the serial
    // link, where the kernel hands every write to a worker thread of its
    // own: pinning the two ends there only adds wake-ups across CPUs.
    if (pinned && !serial && pinToIdlestCpu() < 0)
        std::fprintf(stderr, "could not keep the run on one CPU\n");
    SimulatedPrinter printer;
    if (!printer.start(serial ? SimulatedPrinter::Endpoint::Serial
                              : SimulatedPrinter::Endpoint::Tcp))
        return 1;
    Elapsed elapsed;
    if (who.startsWith(QLatin1String("utility")) || who == QLatin1String("untraced")) {
        using Trace = UtilityClient::Trace;
        const Trace trace = who == QLatin1String("untraced")       ? Trace::None
                            : who == QLatin1String("utility-pane") ? Trace::Shown
                                                                   : Trace::Recorded;
        elapsed = serial ? UtilityClient::overSerial(printer.tty(), application, trace)
                         : UtilityClient::overTcp(printer.port(), application, trace);
    } else
        elapsed = serial ? ReferenceClient::overTty(printer.tty(), application)
                         : ReferenceClient::overTcp(printer.port(), application);
    if (elapsed.seconds < 0)
        return 1;
    std::printf("run %.6f %.6f %ld\n", elapsed.seconds, elapsed.cpuSeconds, peakRssKb());
    return 0;
}

struct Run {
    Elapsed elapsed;
    long peakKb = 0;
    bool failed() const { return elapsed.seconds < 0; }
};

Run runChild(const char *link, const char *who, const QString &application, bool pinned,
             bool widgets = false) {
    QStringList args{QStringLiteral("--run"), QString::fromLatin1(link), QString::fromLatin1(who),
                     application};
    if (!pinned)
        args << QStringLiteral("--unpinned");
    if (widgets)
        args << QStringLiteral("--widgets");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || words.size() != 4 || words[0] != "run") {
        std::fprintf(stderr, "%s %s run failed\n", link, who);
        return {};
    }
    return {{words[1].toDouble(), words[2].toDouble()}, words[3].toLong()};
}

// The best of several runs: other work on the machine only ever adds time.
struct Best {
    Run run;
    void add(const Run &other) {
        const long peakKb = std::max(run.peakKb, other.peakKb);
        if (run.failed() || other.elapsed.seconds < run.elapsed.seconds)
            run = other;
        run.peakKb = peakKb;
    }
};

int compare(const QTemporaryDir &dir, int rounds, bool pinned) {
    qint64 lines = 0;
    const QString application = BenchApplication::make(dir, 20, &lines);
    if (application.isEmpty())
        return 1;
    Best utility[2], reference[2];
    // Alternating keeps a stretch of load from favouring either client.
    for (int round = 0; round < rounds; ++round) {
        for (int link = 0; link < 2; ++link) {
            const Run ref = runChild(kLinks[link], "reference", application, pinned);
            const Run own = runChild(kLinks[link], "utility", application, pinned);
            if (ref.failed() || own.failed())
                return 1;
            reference[link].add(ref);
            utility[link].add(own);
        }
    }
    std::printf("transfer: 20 MB, %lld lines, %d acknowledged packets, best of %d, %s\n", lines,
                BenchApplication::kPackets, rounds,
                pinned ? "TCP runs on one CPU" : "runs unpinned");
    std::printf("  %-7s %10s %12s %7s %14s %16s %9s\n", "link", "utility s", "reference s", "ratio",
                "utility CPU s", "reference CPU s", "peak RSS");
    bool met = true;
    for (int link = 0; link < 2; ++link) {
        const Run &own = utility[link].run;
        const Run &ref = reference[link].run;
        const double ratio = own.elapsed.seconds / ref.elapsed.seconds;
        met = met && ratio <= kTargetRatio;
        std::printf("  %-7s %10.2f %12.2f %7.2f %14.2f %16.2f %6ld MB\n", kLinks[link],
                    own.elapsed.seconds, ref.elapsed.seconds, ratio, own.elapsed.cpuSeconds,
                    ref.elapsed.cpuSeconds, own.peakKb / 1024);
    }
    std::printf("  target: ratio <= %.1f on both links: %s\n", kTargetRatio,
                met ? "met" : "not met");
    std::fflush(stdout);
    return 0;
}

// The Traffic pane open against closed, and the recorder's own cost.
int comparePane(const QTemporaryDir &dir, int rounds, bool pinned) {
    qint64 lines = 0;
    const QString application = BenchApplication::make(dir, 20, &lines);
    if (application.isEmpty())
        return 1;
    Best closed[2], open[2], untraced[2];
    for (int round = 0; round < rounds; ++round) {
        for (int link = 0; link < 2; ++link) {
            const Run none = runChild(kLinks[link], "untraced", application, pinned, true);
            const Run shut = runChild(kLinks[link], "utility", application, pinned, true);
            const Run shown = runChild(kLinks[link], "utility-pane", application, pinned, true);
            if (none.failed() || shut.failed() || shown.failed())
                return 1;
            untraced[link].add(none);
            closed[link].add(shut);
            open[link].add(shown);
        }
    }
    std::printf("traffic pane: 20 MB, %lld lines, %d acknowledged packets, best of %d, %s\n", lines,
                BenchApplication::kPackets, rounds,
                pinned ? "TCP runs on one CPU" : "runs unpinned");
    std::printf("  %-7s %12s %10s %7s %12s %14s %9s\n", "link", "pane open s", "closed s", "ratio",
                "untraced s", "closed/untr.", "peak RSS");
    bool met = true;
    for (int link = 0; link < 2; ++link) {
        const Run &shown = open[link].run;
        const Run &shut = closed[link].run;
        const Run &none = untraced[link].run;
        const double ratio = shown.elapsed.seconds / shut.elapsed.seconds;
        met = met && ratio <= kTargetPaneRatio;
        std::printf("  %-7s %12.2f %10.2f %7.3f %12.2f %14.3f %6ld MB\n", kLinks[link],
                    shown.elapsed.seconds, shut.elapsed.seconds, ratio, none.elapsed.seconds,
                    shut.elapsed.seconds / none.elapsed.seconds, shown.peakKb / 1024);
    }
    std::printf("  target: pane open / closed <= %.2f on both links: %s\n", kTargetPaneRatio,
                met ? "met" : "not met");
    std::fflush(stdout);
    return 0;
}

int checkMemory(const QTemporaryDir &dir, bool pinned, const char *who, bool widgets) {
    qint64 lines = 0;
    const QString application = BenchApplication::make(dir, 200, &lines);
    if (application.isEmpty())
        return 1;
    for (const char *link : kLinks) {
        const Run run = runChild(link, who, application, pinned, widgets);
        if (run.failed())
            return 1;
        std::printf("memory: %s, %s, 200 MB application, %lld lines in %.1f s, peak RSS %ld MB "
                    "(target < %ld MB)\n",
                    link, who, lines, run.elapsed.seconds, run.peakKb / 1024, kTargetPeakMb);
        std::fflush(stdout);
    }
    return 0;
}
} // namespace

int main(int argc, char *argv[]) {
    qputenv("ZELDL_TIME_SCALE", "1");
    // The Traffic pane is a real widget; no display is needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Widgets only where a run asks for them; the parent only starts runs.
    const bool widgets = std::find_if(argv, argv + argc, [](const char *arg) {
                             return qstrcmp(arg, "--widgets") == 0;
                         }) != argv + argc;
    std::unique_ptr<QCoreApplication> app(widgets ? new QApplication(argc, argv)
                                                  : new QCoreApplication(argc, argv));
    QStringList args = QCoreApplication::arguments().mid(1);
    args.removeAll(QStringLiteral("--widgets"));
    const bool pinned = args.removeAll(QStringLiteral("--unpinned")) == 0;
    const bool pane = args.removeAll(QStringLiteral("--trace-pane")) > 0;
    if (args.size() == 4 && args[0] == QLatin1String("--run"))
        return runOnce(args[1], args[2], args[3], pinned);

    int rounds = 3;
    if (args.size() == 2 && args[0] == QLatin1String("--rounds")) {
        rounds = std::max(1, args[1].toInt());
    } else if (!args.isEmpty()) {
        std::fprintf(stderr, "usage: bench_transfer [--rounds N] [--unpinned] [--trace-pane]\n");
        return 2;
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    // The runs must not read or write the user's settings.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    if (const int failed = pane ? comparePane(dir, rounds, pinned) : compare(dir, rounds, pinned))
        return failed;
    return checkMemory(dir, pinned, pane ? "utility-pane" : "utility", pane);
}

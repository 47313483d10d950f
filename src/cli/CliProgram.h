#pragma once

#include <QStringList>

struct CliRequest;
struct DownloadJob;

// The command-line program from its arguments to its exit status: reads
// the request, runs the download (here for one target, in workers for
// several) or the discovery, prints the results and Ctrl+C cancels.
class CliProgram {
public:
    // Exit statuses: 0 complete, 1 failed, 2 bad arguments, 3 unreachable,
    // 130 interrupted.
    static constexpr int kBadArguments = 2;

    int run(const QStringList &arguments);

private:
    int download(const CliRequest &request);
    int downloadHere(const DownloadJob &job);
    int downloadInWorkers(const DownloadJob &job);
    int discover(const CliRequest &request);
    // Exits with this status after a signal; 0 while none came.
    int m_signal = 0;
};

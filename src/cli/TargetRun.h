#pragma once

#include "HeadlessView.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TargetResult.h"
#include "TrafficMeter.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

class LinkTimers;
class MeteredSerial;
class MeteredSocket;
class SerialLink;
class SerialPortControl;
class SocketControl;
class SocketLink;
struct DownloadEngine;
struct DownloadJob;
struct Target;

// Runs the download to one target in this process: the engine wired as the
// window wires it, with this program's view, and between the engine and
// the printer the real links (or the dry run's recorder) with the traffic
// counted.
class TargetRun {
public:
    TargetRun(const DownloadJob &job, const Target &target);
    ~TargetRun();
    TargetRun(const TargetRun &) = delete;
    TargetRun &operator=(const TargetRun &) = delete;

    // Opens the dry run's and the trace's files; false with the reason.
    bool prepare(QString *error);
    // The whole download, up to the keypad's reset where one follows.
    TargetResult run();
    // Ctrl+C: the first asks for a cancel as the Cancel button does; a
    // second gives up the waits still running.
    void interrupt();

private:
    // Opens the port or connects once before anything is sent; false with
    // the reason when the printer cannot be reached.
    bool reach(QString *why);
    bool completed() const;

    const DownloadJob &m_job;
    const Target &m_target;
    const bool m_dryRun;
    SharedState m_state;
    SettingsStore m_store;
    HeadlessView m_view;
    TrafficMeter m_meter;
    QFile m_dryRunFile;
    // The lookup working file is per process: a window or another download
    // running at the same time must not swap it under this one.
    QTemporaryDir m_cache;
    bool m_running = false;
    bool m_interrupted = false;

    std::unique_ptr<SerialPortControl> m_port;
    std::unique_ptr<SerialLink> m_serial; // the dry run's recorder in a dry run
    std::unique_ptr<SocketControl> m_socketControl;
    std::unique_ptr<SocketLink> m_socketLink;
    std::unique_ptr<MeteredSerial> m_meteredSerial;
    std::unique_ptr<MeteredSocket> m_meteredSocket;
    std::unique_ptr<LinkTimers> m_timers;
    std::unique_ptr<DownloadEngine> m_engine;
};

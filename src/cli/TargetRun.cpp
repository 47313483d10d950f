#include "TargetRun.h"

#include "Cancel.h"
#include "Clock.h"
#include "DownloadEngine.h"
#include "DownloadJob.h"
#include "DryRunLink.h"
#include "LinkTimers.h"
#include "MeteredSerial.h"
#include "MeteredSocket.h"
#include "SerialNative.h"
#include "SerialPortControl.h"
#include "SocketControl.h"
#include "SocketLink.h"
#include "Wait.h"

#include <limits>

namespace {
// A dry run has nothing to wait for: its pauses pass at once.
constexpr double kDryRunTimeScale = 1e-6;
} // namespace

TargetRun::TargetRun(const DownloadJob &job, const Target &target)
    : m_job(job), m_target(target), m_dryRun(!job.dryRun.isEmpty()),
      m_view(job.passThrough, job.takeModelSettings) {
    m_state.mode = target.mode;
    m_state.comPort = target.comPort;
    m_state.lineSettings = target.lineSettings;
    m_state.handshaking = target.handshaking;
    m_state.ipAddress = target.host;
    m_state.ipPort = target.port;
    m_state.printer = job.printer;
    m_state.passThrough = job.passThrough;

    m_port = std::make_unique<SerialPortControl>();
    SocketChannel *socket = nullptr;
    if (m_dryRun) {
        auto recorder = std::make_unique<DryRunLink>(m_state, *m_port, m_view, m_dryRunFile);
        socket = recorder.get();
        m_serial = std::move(recorder);
    } else {
        m_serial = std::make_unique<SerialLink>(m_state, *m_port, m_view);
        m_socketControl = std::make_unique<SocketControl>();
        m_socketLink = std::make_unique<SocketLink>(m_state, m_view, *m_socketControl);
        socket = m_socketLink.get();
    }
    // As the window wires the engine, with the metered links in between.
    m_meteredSerial = std::make_unique<MeteredSerial>(*m_serial, m_meter);
    m_meteredSocket = std::make_unique<MeteredSocket>(*socket, m_meter);
    m_timers = std::make_unique<LinkTimers>(m_state, *m_meteredSerial, *m_meteredSocket, m_view);
    m_engine = std::make_unique<DownloadEngine>(m_state, m_job.set, m_store, m_view,
                                                *m_meteredSerial, *m_meteredSocket, m_timers.get());
    m_view.setByteCounter([this] { return m_meter.bytes(); });
}

TargetRun::~TargetRun() = default;

bool TargetRun::prepare(QString *error) {
    if (!m_cache.isValid()) {
        *error = QStringLiteral("no folder for the working file: %1").arg(m_cache.errorString());
        return false;
    }
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
    if (m_dryRun) {
        m_dryRunFile.setFileName(m_job.dryRun);
        if (!m_dryRunFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            *error = QStringLiteral("%1: %2").arg(m_job.dryRun, m_dryRunFile.errorString());
            return false;
        }
        Clock::setScale(kDryRunTimeScale);
    }
    const QString trace = m_job.traceFile(m_target);
    return trace.isEmpty() || m_meter.openTrace(trace, error);
}

TargetResult TargetRun::run() {
    QElapsedTimer clock;
    clock.start();
    m_running = true;
    TargetResult result;
    result.target = m_target.name();
    result.model = m_job.modelName();
    // What the window shows once the model is chosen: the printer must be so
    // already, nobody is there to set it.
    m_engine->models.showOperatorPrompt();
    QString why;
    if (!reach(&why)) {
        result.outcome = TargetResult::Outcome::Unreachable;
        result.status = why;
        if (m_view.status() != why)
            m_view.print(why);
    } else if (!m_interrupted) {
        m_engine->command.run();
        // After a pass-through download the keypad's reset is still to come.
        Wait::until(
            [this] {
                return m_view.downloadCommandsEnabled() || !m_timers->resetTimer().isActive();
            },
            std::numeric_limits<double>::infinity(), m_state.exitRequested);
        result.status = m_view.status();
        result.outcome =
            completed() ? TargetResult::Outcome::Complete : TargetResult::Outcome::Failed;
    }
    if (m_interrupted)
        result.outcome = TargetResult::Outcome::Cancelled;
    m_running = false;

    if (m_dryRun) {
        m_dryRunFile.close();
        if (m_dryRunFile.error() != QFileDevice::NoError &&
            result.outcome == TargetResult::Outcome::Complete) {
            result.outcome = TargetResult::Outcome::Failed;
            result.status = QStringLiteral("Dry run: cannot write: ") + m_dryRunFile.errorString();
        }
    } else {
        m_serial->closePort();
        m_socketLink->closeConnection();
    }
    result.bytes = m_meter.bytes();
    result.packets = m_meter.packets();
    result.replies = m_meter.replies();
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    m_view.finish();
    return result;
}

void TargetRun::interrupt() {
    if (!m_running)
        return;
    if (!m_interrupted) {
        m_interrupted = true;
        requestCancel(m_state, m_view);
    } else {
        m_state.exitRequested = true;
    }
}

bool TargetRun::reach(QString *why) {
    if (m_dryRun)
        return true;
    if (m_target.isSerial()) {
        // The window opens its port before any download, too.
        m_serial->applyPortSettings(m_state.handshaking, m_state.lineSettings, m_state.comPort);
        const int error = m_port->open();
        if (error == SerialNative::NoError)
            return true;
        *why =
            error == SerialNative::PortAlreadyOpen
                ? QStringLiteral("Comm Port %1 in use by another application").arg(m_state.comPort)
                : QStringLiteral("Com%1 (%2): %3 (%4)")
                      .arg(m_state.comPort)
                      .arg(m_port->devicePath(), SerialPortControl::errorDescription(error))
                      .arg(error);
        return false;
    }
    if (m_socketLink->connectToPrinter()) {
        // The download makes its own connection, as from the window.
        m_socketLink->closeConnection();
        return true;
    }
    *why = m_state.transferFailure.isEmpty() ? QStringLiteral("No connection to %1 at port %2")
                                                   .arg(m_state.ipAddress)
                                                   .arg(m_state.ipPort)
                                             : m_state.transferFailure;
    return false;
}

bool TargetRun::completed() const {
    return m_view.status() == QLatin1String("Download Complete") && !m_state.downloadError &&
           !m_state.operatorCancelled && m_state.transferFailure.isEmpty();
}

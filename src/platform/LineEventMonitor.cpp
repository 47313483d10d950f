#include "LineEventMonitor.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace {
constexpr int kPollMs = 100;
}

std::optional<LineCounters> DriverCounterSource::read() {
#ifdef Q_OS_LINUX
    serial_icounter_struct counts{};
    if (m_handle < 0 || ::ioctl(m_handle, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    LineCounters c;
    c.breaks = quint64(counts.brk);
    c.framing = quint64(counts.frame);
    c.overrun = quint64(counts.overrun);
    c.bufferOverflow = quint64(counts.buf_overrun);
    c.parity = quint64(counts.parity);
    return c;
#else
    return std::nullopt;
#endif
}

LineEventMonitor::LineEventMonitor(QObject *parent) : QObject(parent) {
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &LineEventMonitor::poll);
}

void LineEventMonitor::start(std::unique_ptr<LineCounterSource> source) {
    stop();
    m_source = std::move(source);
    const auto first = m_source ? m_source->read() : std::nullopt;
    if (!first) {
        m_source.reset();
        return;
    }
    m_last = *first;
    m_timer.start();
}

void LineEventMonitor::stop() {
    m_timer.stop();
    m_source.reset();
}

void LineEventMonitor::poll() {
    if (!m_source)
        return;
    const auto now = m_source->read();
    if (!now) {
        stop();
        return;
    }
    const LineCounters before = m_last;
    m_last = *now;
    // A handler may stop the monitor (by closing the port), so each code is
    // raised from the copy taken above.
    if (now->breaks != before.breaks)
        Q_EMIT lineEvent(Break);
    if (now->framing != before.framing)
        Q_EMIT lineEvent(Framing);
    if (now->overrun != before.overrun)
        Q_EMIT lineEvent(Overrun);
    if (now->bufferOverflow != before.bufferOverflow)
        Q_EMIT lineEvent(ReceiveOverflow);
    if (now->parity != before.parity)
        Q_EMIT lineEvent(Parity);
}

#pragma once

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

// The driver's running error counts of a serial line.
struct LineCounters {
    quint64 breaks = 0;
    quint64 framing = 0;
    quint64 overrun = 0;
    quint64 bufferOverflow = 0;
    quint64 parity = 0;
};

// Where the counters come from; a fake in tests.
class LineCounterSource {
public:
    virtual ~LineCounterSource() = default;
    // Nothing when the driver keeps no counters.
    virtual std::optional<LineCounters> read() = 0;
};

// Reads the counters of the open driver (TIOCGICOUNT).
class DriverCounterSource : public LineCounterSource {
public:
    explicit DriverCounterSource(int portHandle) : m_handle(portHandle) {}
    std::optional<LineCounters> read() override;

private:
    int m_handle;
};

// Qt drops bytes with parity or framing errors and turns a break into a NUL
// without telling anyone, so the driver's counters are the only source of
// line events. The monitor looks at them while the port is open and raises
// the port's line-event codes for each counter that moved.
class LineEventMonitor : public QObject {
    Q_OBJECT
public:
    enum Code {
        Break = 1001,
        Framing = 1004,
        Overrun = 1006,
        ReceiveOverflow = 1008,
        Parity = 1009,
    };

    explicit LineEventMonitor(QObject *parent = nullptr);

    // Starts watching; a source without counters raises nothing.
    void start(std::unique_ptr<LineCounterSource> source);
    void stop();
    bool isRunning() const { return m_timer.isActive(); }

    // Reads the counters once and raises what moved; the timer calls this.
    void poll();

Q_SIGNALS:
    void lineEvent(int code);

private:
    std::unique_ptr<LineCounterSource> m_source;
    LineCounters m_last;
    QTimer m_timer;
};

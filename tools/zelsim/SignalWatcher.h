#pragma once

#include <QObject>

class QSocketNotifier;

namespace zelsim {

// Turns SIGINT and SIGTERM into a Qt signal. The handler only writes the
// signal number into a pipe (the one thing that is safe there); the event
// loop reads it back. Signals are per process, so only one watcher may exist.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zelsim

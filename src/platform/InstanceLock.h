#pragma once

#include <QLockFile>
#include <QObject>

#include <memory>

class QLocalServer;

// The per-user single-instance lock "CTStringForAvoidingMultipleInstance"
// and the hand-over channel through which a second start asks the running
// instance to come to the front. A lock left by a killed process does not
// block the next start.
class InstanceLock : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Taken, HeldElsewhere, Unavailable };

    explicit InstanceLock(QObject *parent = nullptr);
    ~InstanceLock() override;

    // Tries once, without waiting. While held, it listens for hand-overs.
    Outcome tryTake();
    void release();
    bool isHeld() const;

    // From a second start: asks the holder to restore and raise its window,
    // and waits (at most the time-out for each step) for it to confirm, so
    // that the window is up before this start ends.
    static void askHolderToRaise(int timeoutMs = 3000);

    static QString lockFilePath();
    static QString serverName();

Q_SIGNALS:
    void raiseRequested();

private:
    void onNewConnection();

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

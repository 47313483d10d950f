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

    // From a second start: asks the holder to restore and raise its window.
    // True when the holder confirmed.
    static bool askHolderToRaise(int timeoutMs = 3000);

    static QString lockFilePath();
    static QString serverName();

Q_SIGNALS:
    void raiseRequested();

private:
    void onNewConnection();

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

#include "InstanceLock.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
const QString kLockName = QStringLiteral("CTStringForAvoidingMultipleInstance");
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kRaised = QByteArrayLiteral("raised\n");

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    return folder;
}
} // namespace

InstanceLock::InstanceLock(QObject *parent) : QObject(parent) {}

InstanceLock::~InstanceLock() {
    release();
}

QString InstanceLock::lockFilePath() {
    return runtimeFolder() + QLatin1Char('/') + kLockName + QStringLiteral(".lock");
}

QString InstanceLock::serverName() {
    return runtimeFolder() + QLatin1Char('/') + kLockName + QStringLiteral(".sock");
}

InstanceLock::Outcome InstanceLock::tryTake() {
    if (isHeld())
        return Outcome::Taken;
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // Only a dead owner makes the lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const auto error = m_lock->error();
        m_lock.reset();
        return error == QLockFile::LockFailedError ? Outcome::HeldElsewhere : Outcome::Unavailable;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left behind is a dead owner's.
    QLocalServer::removeServer(serverName());
    if (m_server->listen(serverName()))
        connect(m_server, &QLocalServer::newConnection, this, &InstanceLock::onNewConnection);
    return Outcome::Taken;
}

void InstanceLock::release() {
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    // Destroying the lock file unlocks it.
    m_lock.reset();
}

bool InstanceLock::isHeld() const {
    return m_lock && m_lock->isLocked();
}

void InstanceLock::onNewConnection() {
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            if (!client->canReadLine())
                return;
            if (client->readLine() == kRaise) {
                Q_EMIT raiseRequested();
                client->write(kRaised);
                client->flush();
            }
            client->disconnectFromServer();
        });
    }
}

void InstanceLock::askHolderToRaise(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(timeoutMs))
        return;
    while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
    }
}

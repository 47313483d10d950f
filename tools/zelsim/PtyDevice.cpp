#include "PtyDevice.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zelsim {

PtyDevice::PtyDevice(QObject *parent) : QIODevice(parent) {}

PtyDevice::~PtyDevice() {
    release();
}

bool PtyDevice::openPty(QString *error) {
    if (isOpen())
        close();
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        if (error)
            *error = QStringLiteral("cannot open a pseudo-terminal: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        m_master = m_slave = -1;
        return false;
    }
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyDevice::readFromMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyDevice::flushToMaster);
    return QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

qint64 PtyDevice::unreadByClient() const {
    int queued = 0;
    if (m_slave >= 0) {
        // Written bytes reach the slave's queue a moment later; polling the
        // slave makes the kernel move them there before they are counted.
        pollfd probe{m_slave, POLLIN, 0};
        ::poll(&probe, 1, 0);
        ::ioctl(m_slave, FIONREAD, &queued);
    }
    return queued + m_writeBuffer.size();
}

qint64 PtyDevice::bytesAvailable() const {
    return m_readBuffer.size() + QIODevice::bytesAvailable();
}

void PtyDevice::close() {
    if (!isOpen())
        return;
    Q_EMIT aboutToClose();
    release();
    QIODevice::close();
}

qint64 PtyDevice::readData(char *data, qint64 maxSize) {
    const qint64 n = std::min<qint64>(maxSize, m_readBuffer.size());
    std::memcpy(data, m_readBuffer.constData(), static_cast<size_t>(n));
    m_readBuffer.remove(0, n);
    return n;
}

qint64 PtyDevice::writeData(const char *data, qint64 size) {
    if (m_master < 0)
        return -1;
    m_writeBuffer.append(data, size);
    flushToMaster();
    return size;
}

void PtyDevice::readFromMaster() {
    // Drain everything now: the notifier is level-triggered.
    char chunk[4096];
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n > 0) {
            m_readBuffer.append(chunk, n);
            total += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            m_readNotifier->setEnabled(false); // hung up: stop the notifier from spinning
        break;
    }
    if (total > 0)
        Q_EMIT readyRead();
}

void PtyDevice::flushToMaster() {
    while (!m_writeBuffer.isEmpty()) {
        const ssize_t n =
            ::write(m_master, m_writeBuffer.constData(), static_cast<size_t>(m_writeBuffer.size()));
        if (n > 0) {
            m_writeBuffer.remove(0, n);
            Q_EMIT bytesWritten(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_writeBuffer.isEmpty());
}

void PtyDevice::release() {
    // Notifiers are switched off before their descriptor is closed, and deleted
    // later: this may run inside one of their own signals.
    for (QSocketNotifier *notifier : {m_readNotifier, m_writeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    m_readBuffer.clear();
    m_writeBuffer.clear();
}

} // namespace zelsim

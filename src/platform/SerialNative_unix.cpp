#include "SerialNative.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace SerialNative {

Probe probeAndLock(const QString &devicePath) {
    Probe probe;
    const QByteArray path = QFile::encodeName(devicePath);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
            probe.error = InvalidPort;
            break;
        case EBUSY:
            probe.error = PortAlreadyOpen;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            probe.error = DeviceNotOpen;
            break;
        default:
            probe.error = DeviceAlreadyOpen;
            break;
        }
        return probe;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        probe.error = InvalidPort;
        return probe;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        ::close(fd);
        probe.error = (cause == EWOULDBLOCK) ? PortAlreadyOpen : DeviceAlreadyOpen;
        return probe;
    }
    probe.lockHandle = fd;
    return probe;
}

void releaseLock(int lockHandle) {
    if (lockHandle >= 0)
        ::close(lockHandle); // closing drops the lock
}

void applyFlowControl(int portHandle, int handshaking) {
    if (portHandle < 0)
        return;
    termios tio{};
    if (::tcgetattr(portHandle, &tio) != 0)
        return;
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~tcflag_t(CRTSCTS);
    if (handshaking == 1 || handshaking == 3)
        tio.c_iflag |= IXON | IXOFF;
    if (handshaking == 2 || handshaking == 3)
        tio.c_cflag |= CRTSCTS;
    ::tcsetattr(portHandle, TCSANOW, &tio);
}

} // namespace SerialNative

#include "PtyClient.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyClient::PtyClient(const QString &path) {
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    termios mode{};
    ::tcgetattr(m_fd, &mode);
    cfmakeraw(&mode);
    ::tcsetattr(m_fd, TCSANOW, &mode);
}

PtyClient::~PtyClient() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PtyClient::send(const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd waitFor{m_fd, POLLOUT, 0};
            ::poll(&waitFor, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

QByteArray PtyClient::received() {
    char chunk[1024];
    for (;;) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n > 0) {
            m_received.append(chunk, n);
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            m_hungUp = true;
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return m_received;
}

bool PtyClient::hungUp() {
    received();
    pollfd probe{m_fd, POLLIN, 0};
    if (::poll(&probe, 1, 0) > 0 && (probe.revents & POLLHUP))
        m_hungUp = true;
    return m_hungUp;
}

#include "ReferenceClient.h"

#include "Framing.h"
#include "LineReader.h"

#include <QFile>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kReplySize = 14;

bool writeAll(int fd, const QByteArray &bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool readReply(int fd) {
    char reply[kReplySize];
    for (int got = 0; got < kReplySize;) {
        const ssize_t n = ::read(fd, reply + got, size_t(kReplySize - got));
        if (n <= 0)
            return false;
        got += int(n);
    }
    return true;
}

// The same lines, framing and awaited replies as the utility's transfer of
// an application file.
Elapsed exchange(int fd, const QString &application) {
    QFile file(application);
    if (fd < 0 || !file.open(QIODevice::ReadOnly))
        return {};
    LineReader reader(file);
    Framing::State framing;
    const Stopwatch stopwatch;
    while (const std::optional<QByteArray> line = reader.readLine()) {
        const QByteArray framed = Framing::frameLine(*line, framing);
        if (!writeAll(fd, framed))
            return {};
        if (Framing::awaitsReply(*line, framed, framing, true) && !readReply(fd))
            return {};
    }
    return stopwatch.stop();
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};
} // namespace

namespace ReferenceClient {

Elapsed overTty(const QString &tty, const QString &application) {
    const Descriptor fd(::open(QFile::encodeName(tty).constData(), O_RDWR | O_NOCTTY));
    if (fd.get() < 0)
        return {};
    termios tio{};
    ::tcgetattr(fd.get(), &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd.get(), TCSANOW, &tio);
    return exchange(fd.get(), application);
}

Elapsed overTcp(quint16 port, const QString &application) {
    const Descriptor fd(::socket(AF_INET, SOCK_STREAM, 0));
    if (fd.get() < 0)
        return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return {};
    // The utility's socket sends without Nagle's delay too.
    const int on = 1;
    ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return exchange(fd.get(), application);
}

} // namespace ReferenceClient

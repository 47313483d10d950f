#pragma once

#include <QByteArray>
#include <QString>

// The client end of a pseudo-terminal, as a serial program would hold it: the
// slave opened read-write without becoming the controlling terminal, raw mode.
class PtyClient {
public:
    explicit PtyClient(const QString &path);
    ~PtyClient();
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool send(const QByteArray &bytes);
    // Everything received so far; reads what has arrived since the last call.
    QByteArray received();
    // True once the other side has closed the terminal.
    bool hungUp();

private:
    int m_fd = -1;
    QByteArray m_received;
    bool m_hungUp = false;
};

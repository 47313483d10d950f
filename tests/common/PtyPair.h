#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal for serial tests: the program opens the slave path as
// its serial port, the test talks through the master.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_path; }
    int masterFd() const { return m_master; }
    // An extra descriptor of the slave, kept open by the test (line
    // settings can be read back through it).
    int slaveFd() const { return m_slave; }

    bool write(const QByteArray &bytes);
    // Whatever is waiting now, after a short settle.
    QByteArray readAvailable(int settleMs = 20);
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

#include "ZelsimProcess.h"

#include <QDeadlineTimer>
#include <QFile>

ZelsimProcess::~ZelsimProcess() {
    stop();
}

bool ZelsimProcess::start(const QStringList &extra) {
    QStringList args{"--serial", "--capture", m_dir.filePath("capture.bin")};
    args += extra;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(ZELSIM_PATH), args);
    if (!m_process.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(15000);
    while (m_serial.isEmpty() && !deadline.hasExpired()) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(500))
            continue;
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("serial: "))
            m_serial = QString::fromLocal8Bit(line.mid(8));
    }
    return !m_serial.isEmpty();
}

QByteArray ZelsimProcess::captured() const {
    QFile file(m_dir.filePath("capture.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ZelsimProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000))
        m_process.kill();
}

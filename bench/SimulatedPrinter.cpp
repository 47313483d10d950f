#include "SimulatedPrinter.h"

#include <QByteArray>
#include <QStringList>

#ifndef ZELSIM_PATH
#error "ZELSIM_PATH must name the zelsim executable"
#endif

SimulatedPrinter::~SimulatedPrinter() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    m_process.waitForFinished(10000);
}

bool SimulatedPrinter::start(Endpoint endpoint) {
    const bool serial = endpoint == Endpoint::Serial;
    // Port 0: zelsim picks a free one and names it on its "tcp:" line.
    const QStringList args =
        serial ? QStringList{QStringLiteral("--serial")}
               : QStringList{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0")};
    m_process.start(QStringLiteral(ZELSIM_PATH), args);
    if (!m_process.waitForStarted(10000))
        return false;
    const auto announced = [&] {
        return serial ? !m_tty.isEmpty() : m_port != 0;
    };
    while (!announced() && m_process.waitForReadyRead(10000)) {
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("serial: "))
                m_tty = QString::fromLocal8Bit(line.mid(8));
            else if (line.startsWith("tcp: "))
                m_port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
        }
    }
    return announced();
}

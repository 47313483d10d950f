#include "Simulator.h"

#include "PtyEndpoint.h"
#include "TcpEndpoint.h"
#include "Transcript.h"

namespace zelsim {

Simulator::Simulator(const SimConfig &config, QIODevice *console, QObject *parent)
    : QObject(parent), m_config(config), m_console(console) {}

Simulator::~Simulator() {
    stop();
}

bool Simulator::start(QString *error) {
    QIODevice *capture = nullptr;
    if (!m_config.capturePath.isEmpty()) {
        m_capture.setFileName(m_config.capturePath);
        if (!m_capture.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (error)
                *error = QStringLiteral("cannot write %1: %2")
                             .arg(m_config.capturePath, m_capture.errorString());
            return false;
        }
        capture = &m_capture;
    }
    if (m_config.log)
        m_transcript = std::make_unique<Transcript>(m_console);

    if (m_config.tcp) {
        m_tcp = new TcpEndpoint(m_config.faults, this);
        m_tcp->setCapture(capture);
        m_tcp->setTranscript(m_transcript.get());
        if (!m_tcp->listen(m_config.host, m_config.port, error))
            return false;
        const QHostAddress address = m_tcp->address();
        const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                                 ? QStringLiteral("[%1]").arg(address.toString())
                                 : address.toString();
        say(QStringLiteral("tcp: %1:%2").arg(host).arg(m_tcp->port()).toUtf8());
    }
    if (m_config.serial) {
        m_pty = new PtyEndpoint(m_config.faults, this);
        m_pty->setCapture(capture);
        m_pty->setTranscript(m_transcript.get());
        m_pty->setLinkPath(m_config.linkPath);
        connect(m_pty, &PtyEndpoint::pathChanged, this,
                [this](const QString &path) { say("serial: " + path.toUtf8()); });
        if (!m_pty->open(error))
            return false;
    }
    return true;
}

void Simulator::stop() {
    if (m_tcp)
        m_tcp->close();
    if (m_pty)
        m_pty->close();
    if (m_capture.isOpen())
        m_capture.close();
}

void Simulator::say(const QByteArray &line) {
    m_console->write(line + '\n');
    if (auto *file = qobject_cast<QFileDevice *>(m_console))
        file->flush();
}

} // namespace zelsim

#pragma once

#include "SimConfig.h"

#include <QFile>
#include <QObject>

#include <memory>

namespace zelsim {

class PtyEndpoint;
class TcpEndpoint;
class Transcript;

// The whole virtual printer as the executable runs it: the endpoints a
// configuration asks for, the capture file and the transcript. Endpoint lines
// ("tcp: ...", "serial: ...") and the transcript go to `console`.
class Simulator : public QObject {
    Q_OBJECT
public:
    Simulator(const SimConfig &config, QIODevice *console, QObject *parent = nullptr);
    ~Simulator() override;

    bool start(QString *error);
    void stop();

    TcpEndpoint *tcp() const { return m_tcp; }
    PtyEndpoint *pty() const { return m_pty; }

private:
    void say(const QByteArray &line);

    SimConfig m_config;
    QIODevice *m_console;
    QFile m_capture;
    std::unique_ptr<Transcript> m_transcript;
    TcpEndpoint *m_tcp = nullptr;
    PtyEndpoint *m_pty = nullptr;
};

} // namespace zelsim

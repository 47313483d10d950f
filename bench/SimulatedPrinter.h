#pragma once

#include <QProcess>
#include <QString>

// One zelsim process with instant replies, on a pseudo-terminal or on a TCP
// port of the loopback address; stopped when this goes.
class SimulatedPrinter {
public:
    enum class Endpoint { Serial, Tcp };

    SimulatedPrinter() = default;
    ~SimulatedPrinter();
    SimulatedPrinter(const SimulatedPrinter &) = delete;
    SimulatedPrinter &operator=(const SimulatedPrinter &) = delete;

    // Waits until zelsim has announced its endpoint.
    bool start(Endpoint endpoint);

    // The pseudo-terminal's path, for Serial.
    QString tty() const { return m_tty; }
    // The port zelsim picked, for Tcp.
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    QString m_tty;
    quint16 m_port = 0;
};

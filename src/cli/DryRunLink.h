#pragma once

#include "SerialLink.h"

#include <QString>

class QIODevice;

// The link of a dry run: writes every byte the download sends into a file
// and answers every reply wait at once with an accepting reply, as a
// printer that takes every packet would. It stands in for both links. It is
// a SerialLink only because the keypad's reset timer holds the serial link
// by that type; every call the engine makes is answered here.
class DryRunLink : public SerialLink, public SocketChannel {
public:
    DryRunLink(SharedState &state, SerialPortControl &port, EngineView &view, QIODevice &out);

    // Both links
    void send(const QByteArray &text) override;
    qint16 receive(QByteArray &reply, qint32 count, float &timeout) override;

    // Serial
    void openPort() override {}
    void closePort() override {}
    void clearInput() override {}
    void drainOutput() override {}
    QString portSettings() const override { return m_settings; }
    void applyPortSettings(int handshaking, const QString &settings, int portNumber) override;

    // TCP/IP
    bool connectToPrinter() override { return true; }
    void send(const QByteArray &text, float &) override { send(text); }
    void closeConnection() override {}
    void setKeepAlive(bool) override {}

private:
    SharedState &m_state;
    EngineView &m_view;
    QIODevice &m_out;
    QString m_settings;
    int m_replies = 0;
};

#pragma once

#include "FaultPlan.h"
#include "PacketParser.h"
#include "PacketRules.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QIODevice;

namespace zelsim {

class Transcript;

// The printer behind one connection: parses what arrives, answers the packets
// the utility waits on, and applies the fault plan. Transport-free: feed it
// with receive() and take its answers from transmit(), or bind() it to a device.
class PrinterSession : public QObject {
    Q_OBJECT
public:
    PrinterSession(const QString &name, Transport transport, const FaultPlan &faults,
                   QObject *parent = nullptr);

    // Every received byte is appended (and flushed) here, before it is parsed.
    void setCapture(QIODevice *capture) { m_capture = capture; }
    void setTranscript(Transcript *transcript) { m_transcript = transcript; }

    // Reads the device on readyRead and writes the answers to it.
    void bind(QIODevice *device);

    QString name() const { return m_name; }
    int answeredCount() const { return m_answered; }
    bool hasEnded() const { return m_ended; }

public Q_SLOTS:
    void receive(const QByteArray &bytes);
    // The peer has gone: drops pending answers, logs what was left unfinished.
    void finish();

Q_SIGNALS:
    void itemParsed(const zelsim::ParsedItem &item, bool answered);
    // One reply, always in one piece.
    void transmit(const QByteArray &bytes);
    // A drop or hangup fault: the endpoint is to end the connection.
    void endRequested();

private:
    struct Outgoing {
        qint64 dueMs;
        QByteArray bytes;
        bool endConnection;
        QString note;
    };

    void handle(const ParsedItem &item);
    void answer();
    void pump();
    void log(const QString &what, const QByteArray &bytes = {});

    QString m_name;
    Transport m_transport;
    FaultPlan m_faults;
    PacketParser m_parser;
    QPointer<QIODevice> m_capture;
    Transcript *m_transcript = nullptr;
    int m_answered = 0;
    bool m_skipNext = false;
    bool m_ended = false;
    QList<Outgoing> m_queue;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace zelsim

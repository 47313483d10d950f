#include "PrinterSession.h"

#include "PacketRules.h"
#include "StatusReply.h"
#include "Transcript.h"

#include <QFileDevice>
#include <QIODevice>
#include <QStringList>

namespace zelsim {

PrinterSession::PrinterSession(const QString &name, Transport transport, const FaultPlan &faults,
                               QObject *parent)
    : QObject(parent), m_name(name), m_transport(transport), m_faults(faults) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PrinterSession::pump);
    m_clock.start();
}

void PrinterSession::bind(QIODevice *device) {
    connect(device, &QIODevice::readyRead, this, [this, device] { receive(device->readAll()); });
    connect(this, &PrinterSession::transmit, device,
            [device](const QByteArray &bytes) { device->write(bytes); });
}

void PrinterSession::receive(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return;
    if (m_capture) {
        m_capture->write(bytes);
        if (auto *file = qobject_cast<QFileDevice *>(m_capture.data()))
            file->flush();
    }
    if (m_ended)
        return;
    const QList<ParsedItem> items = m_parser.feed(bytes);
    for (const ParsedItem &item : items) {
        handle(item);
        if (m_ended)
            break;
    }
}

void PrinterSession::finish() {
    m_ended = true;
    m_queue.clear();
    m_timer.stop();
    const QList<ParsedItem> rest = m_parser.finish();
    for (const ParsedItem &item : rest)
        log(QStringLiteral("<- %1 (left open)").arg(PacketParser::kindName(item.kind)), item.bytes);
}

void PrinterSession::handle(const ParsedItem &item) {
    const QString kind = QString::fromLatin1(PacketParser::kindName(item.kind));
    switch (item.kind) {
    case ParsedItem::Kind::Packet:
        if (m_skipNext) {
            m_skipNext = false;
            log(QStringLiteral("<- packet (no reply after ^MM)"), item.bytes);
            Q_EMIT itemParsed(item, false);
        } else if (PacketRules::takesReply(item.bytes, m_transport)) {
            log(QStringLiteral("<- packet"), item.bytes);
            Q_EMIT itemParsed(item, true);
            answer();
        } else {
            log(QStringLiteral("<- packet (no reply)"), item.bytes);
            Q_EMIT itemParsed(item, false);
        }
        return;
    case ParsedItem::Kind::Caret:
        if (PacketRules::skipsNextReply(item.bytes))
            m_skipNext = true;
        break;
    case ParsedItem::Kind::Text:
        if (PacketRules::cancelsSkip(item.bytes))
            m_skipNext = false;
        break;
    case ParsedItem::Kind::Cancel:
    case ParsedItem::Kind::KeepAlive:
    case ParsedItem::Kind::Abandoned:
        break;
    }
    log(QStringLiteral("<- ") + kind,
        item.kind == ParsedItem::Kind::KeepAlive ? QByteArray() : item.bytes);
    Q_EMIT itemParsed(item, false);
}

void PrinterSession::answer() {
    const int number = ++m_answered;
    const ReplyAction action = m_faults.actionFor(number);
    const bool endHere = (action.drop && m_transport == Transport::Tcp) ||
                         (action.hangup && m_transport == Transport::Pty);
    Outgoing out{m_clock.elapsed() + action.delayMs, {}, endHere, {}};
    QStringList faults;
    if (action.delayMs > 0)
        faults << QStringLiteral("delay %1 ms").arg(action.delayMs);

    if (endHere) {
        out.note = m_transport == Transport::Tcp
                       ? QStringLiteral("!! drop: closing the connection")
                       : QStringLiteral("!! hangup: closing the terminal");
    } else if (action.silent) {
        log(QStringLiteral("!! silent: no reply to packet %1").arg(number));
        return;
    } else {
        // A packet the printer could not take is not stored either, hence CP=4.
        const char completion = action.cp4 || action.packetError ? '4' : '0';
        const char status = action.packetError ? '?' : '0';
        out.bytes = StatusReply::make(number, completion, status);
        if (action.cp4)
            faults << QStringLiteral("cp4");
        if (action.packetError)
            faults << QStringLiteral("error");
        switch (action.shape) {
        case ReplyAction::Shape::Normal:
            break;
        case ReplyAction::Shape::Short:
            out.bytes.truncate(10);
            faults << QStringLiteral("short");
            break;
        case ReplyAction::Shape::Long:
            out.bytes += " READY";
            faults << QStringLiteral("long");
            break;
        case ReplyAction::Shape::Garbage:
            out.bytes = StatusReply::garbage(action.garbageBytes);
            faults << QStringLiteral("garbage");
            break;
        }
        out.note = faults.isEmpty() ? QStringLiteral("-> reply")
                                    : QStringLiteral("-> reply [%1]").arg(faults.join(u", "));
    }
    // Answers leave in arrival order: a delayed one holds back those behind it.
    if (!m_queue.isEmpty())
        out.dueMs = std::max(out.dueMs, m_queue.last().dueMs);
    m_queue.append(out);
    pump();
}

void PrinterSession::pump() {
    const qint64 now = m_clock.elapsed();
    while (!m_queue.isEmpty() && m_queue.first().dueMs <= now) {
        const Outgoing out = m_queue.takeFirst();
        if (out.endConnection) {
            log(out.note);
            m_queue.clear();
            m_timer.stop();
            m_ended = true;
            Q_EMIT endRequested();
            return;
        }
        log(out.note, out.bytes);
        Q_EMIT transmit(out.bytes);
    }
    if (!m_queue.isEmpty())
        m_timer.start(static_cast<int>(m_queue.first().dueMs - now));
}

void PrinterSession::log(const QString &what, const QByteArray &bytes) {
    if (m_transcript)
        m_transcript->note(m_name, what, bytes);
}

} // namespace zelsim

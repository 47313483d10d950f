#pragma once

#include <QtGlobal>

// One transmission as the trace keeps it: bytes sent, a run of keep-alive
// blanks, or what a reply wait took in. The bytes live in the recorder.
struct TrafficRow {
    enum class Kind : quint8 {
        Packet,    // bytes sent
        KeepAlive, // keep-alive blanks sent one after the other
        Reply,     // what a reply wait took in, judged
        Stray,     // came when nothing waited for it, and was thrown away
    };
    enum class Direction : quint8 { ToPrinter, FromPrinter };
    enum class Verdict : quint8 {
        None, // not a reply
        Accepted,
        PacketError,
        Cp4, // accepted, but the printer reports "CP=4"
        TimedOut,
        Short, // fewer than the characters awaited came in time
        TooLong,
    };

    qint64 timeUs = 0;  // since the download started
    quint64 offset = 0; // of its first byte in the recorder's byte stream
    qint64 size = 0;    // bytes that went over the link
    qint64 kept = 0;    // of those, the first ones kept (all but for a row over the byte bound)
    quint8 link = 0;
    Kind kind = Kind::Packet;
    Verdict verdict = Verdict::None;

    Direction direction() const {
        return kind == Kind::Packet || kind == Kind::KeepAlive ? Direction::ToPrinter
                                                               : Direction::FromPrinter;
    }
};

#pragma once

#include <QByteArray>

namespace zelsim {

// The endpoint a packet came in on. One reply depends on it (see takesReply()).
enum class Transport { Tcp, Pty };

// What the printer makes of a packet: whether the utility is waiting for an
// answer to it. Pure functions, so the rules can be checked from a table.
namespace PacketRules {

bool isStatusRequest(const QByteArray &packet);

// True for the packets the utility waits on: "{SR}", ordinary packets and
// lookup records. Formats, graphics, immediate commands, "{S }", "{Q }" and the
// slot-clearing "{C n}" are taken silently. Lookup record 10 ("{RA_") is
// answered on the pseudo-terminal only.
bool takesReply(const QByteArray &packet, Transport transport);

// A "^MM" line makes the utility skip the reply of the next packet it closes.
bool skipsNextReply(const QByteArray &caret);

// A line holding only "0" cancels a pending skip.
bool cancelsSkip(const QByteArray &text);

} // namespace PacketRules

} // namespace zelsim

#pragma once

#include <QByteArray>

// The wire rules of a file transfer: how a line is framed before it goes
// out, and whether the printer acknowledges it.
namespace Framing {

// True from a multi-line record head that does not close on its own line up
// to its closing line.
struct State {
    bool recordOpen = false;
};

// The line as it goes to the printer: CR LF is added inside a multi-line
// record and after a line ending in "|".
QByteArray frameLine(const QByteArray &line, State &state);

// After a line went out: does it end a packet the printer answers?
// `skipReply` is the transfer's skip flag; the skip list applies to
// application files, not to lookup records.
bool awaitsReply(const QByteArray &rawLine, const QByteArray &framedLine, bool &skipReply,
                 bool useSkipList);

} // namespace Framing

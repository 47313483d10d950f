#pragma once

#include <QByteArray>

// The wire rules of a file transfer: how a line is framed before it goes
// out, and whether the printer acknowledges it.
namespace Framing {

// What framing remembers from one line of a file to the next.
struct State {
    // From a multi-line record head that does not close on its own line up
    // to its closing line.
    bool recordOpen = false;
    // A packet on the skip list is under way: its closing line takes no
    // reply. Kept per file, apart from every download-wide flag, so that
    // nothing outside the transfer can make a reply go unawaited.
    bool skipReply = false;
};

// The line as it goes to the printer: CR LF is added inside a multi-line
// record and after a line ending in "|".
QByteArray frameLine(const QByteArray &line, State &state);

// After a line went out: does it end a packet the printer answers?
// The skip list applies to application files, not to lookup records.
bool awaitsReply(const QByteArray &rawLine, const QByteArray &framedLine, State &state,
                 bool useSkipList);

} // namespace Framing

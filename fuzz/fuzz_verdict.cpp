// The judging of the printer's reply.
//
// The first byte picks the stage, the link, the abort and break flags and
// whether an application name is set; the rest is the reply. Each reply is
// judged with the results 0, -1, -2 and -3.
//
// Properties:
// - Accepted only for a received reply (0) of at least 13 bytes whose 13th is
//   "0", " " or "="; Refused only for a received reply that is not so;
// - Cancelled only with an abort requested after -1 or -2; WaitAgain only over
//   TCP/IP after -1 without an abort; Failed only after -1 or -2 without an
//   abort; Unjudged only for results other than 0, -1 and -2;
// - where the outcome shows the reply (Accepted, Refused; Failed after a
//   time-out; Failed on a closed link and Unjudged in the status check), the
//   status text starts with the reply as shown: a byte from 0x20 up as its
//   Latin-1 character, CR as backslash-r, LF as backslash-n, any other byte
//   below 0x20 and 0x7f as backslash-x and two lower-case hex digits;
//   afterSecondWait's text starts so too;
// - no status text holds a control character (below 0x20, or 0x7f), whatever
//   bytes the reply holds.
#include "FuzzCheck.h"
#include "ReplyVerdict.h"

#include <algorithm>
#include <cstdint>

using namespace ReplyVerdict;

namespace {

QString shownByRule(const QByteArray &reply) {
    QString text;
    text.reserve(reply.size() * 4);
    for (const char c : reply) {
        const uchar b = uchar(c);
        if (c == '\r')
            text += QLatin1String("\\r");
        else if (c == '\n')
            text += QLatin1String("\\n");
        else if (b < 0x20 || b == 0x7f)
            text += QLatin1String("\\x") + QLatin1Char("0123456789abcdef"[b >> 4]) +
                    QLatin1Char("0123456789abcdef"[b & 15]);
        else
            text += QChar(b);
    }
    return text;
}

bool holdsControl(const QString &text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool acceptable(const QByteArray &reply) {
    return reply.size() >= 13 && (reply[12] == '0' || reply[12] == ' ' || reply[12] == '=');
}

void check(const Context &context, qint16 result, const QByteArray &reply, const QString &shown) {
    const Verdict verdict = judge(context, result, reply);
    const bool closedOrLate = result == TimedOut || result == NotOpen;
    bool showsReply = false;
    switch (verdict.outcome) {
    case Outcome::Accepted:
        FUZZ_CHECK(result == Received && acceptable(reply));
        showsReply = true;
        break;
    case Outcome::Refused:
        FUZZ_CHECK(result == Received && !acceptable(reply));
        showsReply = true;
        break;
    case Outcome::Cancelled:
        FUZZ_CHECK(closedOrLate && context.abortRequested);
        break;
    case Outcome::WaitAgain:
        FUZZ_CHECK(result == TimedOut && context.link == Link::Socket && !context.abortRequested);
        break;
    case Outcome::Failed:
        FUZZ_CHECK(closedOrLate && !context.abortRequested);
        showsReply = result == TimedOut || context.stage == Stage::StatusCheck;
        break;
    case Outcome::Unjudged:
        FUZZ_CHECK(result != Received && !closedOrLate);
        showsReply = context.stage == Stage::StatusCheck;
        break;
    }
    FUZZ_CHECK(!holdsControl(verdict.status));
    if (showsReply)
        FUZZ_CHECK(verdict.status.startsWith(shown));

    const QString after = afterSecondWait(reply, result);
    FUZZ_CHECK(after.startsWith(shown) && !holdsControl(after));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const unsigned pick = data[0];
    Context context;
    context.stage = Stage(pick % 3);
    context.link = (pick / 3) % 2 ? Link::Socket : Link::Serial;
    context.abortRequested = (pick / 6) % 2;
    context.breakSeen = (pick / 12) % 2;
    if ((pick / 24) % 2)
        context.applicationName = QStringLiteral("ZEL Download Utility");
    const QByteArray reply(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const QString shown = shownByRule(reply);
    for (const qint16 result : {Received, TimedOut, NotOpen, TooLong})
        check(context, result, reply, shown);
    return 0;
}

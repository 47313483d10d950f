#include "ReplyVerdict.h"

#include <algorithm>

namespace ReplyVerdict {

namespace {
// Where the stages' texts differ.
struct Texts {
    const char *notOpen;
    bool replyBeforeNotOpen;
    const char *packetError;
    // The socket's application texts end in the wait's result.
    bool numbered;
    // After a serial break a time-out reads "Check Printer...".
    bool checkPrinterOnBreak;
    // A blank as 13th character is named.
    bool namesSpace;
    // Results with nothing to judge still show the reply.
    bool showsUnjudged;
};

Texts textsFor(Stage stage, Link link) {
    const bool serial = link == Link::Serial;
    switch (stage) {
    case Stage::Application:
        return serial
                   ? Texts{" Comm port not open", false, " Packet error", false, true, false, false}
                   : Texts{" Socket not open", false, " Packet error", true, false, true, false};
    case Stage::Lookup:
        return {serial ? " Comm port not open. " : " Socket not open. ",
                false,
                " Packet error",
                false,
                serial,
                false,
                false};
    case Stage::StatusCheck:
        break;
    }
    return {serial ? " - Comm port not open" : " - Socket not open",
            true,
            " - Packet error",
            false,
            false,
            false,
            true};
}

// A reply as the status line shows it: one character a byte, control bytes
// escaped so that line noise cannot cut the text short or break the line.
QString shown(const QByteArray &bytes) {
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return uchar(c) >= 0x20 && uchar(c) != 0x7f; }))
        return QString::fromLatin1(bytes);
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar b = uchar(c);
        if (b >= 0x20 && b != 0x7f)
            text += QChar(b);
        else if (c == '\r')
            text += QStringLiteral("\\r");
        else if (c == '\n')
            text += QStringLiteral("\\n");
        else
            text += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
    }
    return text;
}
} // namespace

bool isAccepted(const QByteArray &reply) {
    if (reply.size() < 13)
        return false;
    const char c = reply.at(12);
    return c == '0' || c == ' ' || c == '=';
}

Verdict judge(const Context &context, qint16 result, const QByteArray &reply) {
    const Texts texts = textsFor(context.stage, context.link);
    // Each text is built only where it is shown: judging runs once a packet.
    const auto text = [&] {
        return shown(reply);
    };
    const auto number = [&] {
        return texts.numbered ? QLatin1Char(' ') + QString::number(result) : QString();
    };
    const auto cancelled = [&] {
        return context.applicationName + QStringLiteral(" Download Cancelled") + number();
    };

    switch (result) {
    case NotOpen:
        if (context.abortRequested)
            return {Outcome::Cancelled, cancelled()};
        return {Outcome::Failed, (texts.replyBeforeNotOpen ? text() : QString()) +
                                     QLatin1String(texts.notOpen) + number()};
    case TimedOut:
        if (context.abortRequested)
            return {Outcome::Cancelled, texts.checkPrinterOnBreak && context.breakSeen
                                            ? QStringLiteral("Check Printer...")
                                            : cancelled()};
        if (context.link == Link::Socket)
            return {Outcome::WaitAgain, {}};
        return {Outcome::Failed, text() + QStringLiteral(" - Download error response timeout")};
    case Received:
        if (!isAccepted(reply))
            return {Outcome::Refused, text() + QLatin1String(texts.packetError) + number()};
        if (texts.namesSpace && reply.at(12) == ' ')
            return {Outcome::Accepted, text() + QStringLiteral("SPACE - Success") + number()};
        return {Outcome::Accepted, text() + QStringLiteral(" - Success")};
    default:
        return {Outcome::Unjudged,
                texts.showsUnjudged ? text() + QStringLiteral(" - Success") : QString()};
    }
}

QString afterSecondWait(const QByteArray &reply, qint16 result) {
    return shown(reply) + QStringLiteral(" - Success ") + QString::number(result);
}

} // namespace ReplyVerdict

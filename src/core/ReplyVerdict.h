#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Judging the printer's 14-character reply to an acknowledged packet or to
// "{SR}". One rule for every stage; the stages differ only in their texts.
namespace ReplyVerdict {

enum class Link { Serial, Socket };
enum class Stage { Application, Lookup, StatusCheck };

// What a reply wait returned.
enum Result : qint16 { Received = 0, TimedOut = -1, NotOpen = -2, TooLong = -3 };

enum class Outcome {
    Accepted,
    Refused,   // the 13th character refuses the packet
    Failed,    // the link is not open, or no reply came in time
    Cancelled, // a stop was requested while the wait ran
    WaitAgain, // over TCP/IP a late printer gets one more, fixed wait
    Unjudged,  // nothing to judge (more than 14 characters over TCP/IP)
};

struct Verdict {
    Outcome outcome = Outcome::Unjudged;
    QString status; // the status text; empty: the status line stays
};

struct Context {
    Link link = Link::Serial;
    Stage stage = Stage::Application;
    bool abortRequested = false;
    bool breakSeen = false;
    QString applicationName; // for the cancelled texts
};

// A reply of at least 13 characters whose 13th is "0", " " or "=".
bool isAccepted(const QByteArray &reply);

Verdict judge(const Context &context, qint16 result, const QByteArray &reply);

// The text after the one further wait over TCP/IP; the transfer goes on
// whatever that wait returned.
QString afterSecondWait(const QByteArray &reply, qint16 result);

// How long that further wait lasts, in seconds.
inline constexpr float kSecondWaitSeconds = 13.0f;

} // namespace ReplyVerdict

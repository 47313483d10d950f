#include "FaultPlan.h"

#include "StatusReply.h"

#include <QRegularExpression>

#include <array>
#include <utility>

namespace zelsim {

namespace {

constexpr std::array<std::pair<Fault::Kind, const char *>, 10> kindNames = {{
    {Fault::Kind::Silent, "silent"},
    {Fault::Kind::Delay, "delay"},
    {Fault::Kind::PacketError, "error"},
    {Fault::Kind::Cp4, "cp4"},
    {Fault::Kind::Short, "short"},
    {Fault::Kind::Long, "long"},
    {Fault::Kind::Garbage, "garbage"},
    {Fault::Kind::Drop, "drop"},
    {Fault::Kind::Hangup, "hangup"},
    {Fault::Kind::Refuse, "refuse"},
}};

} // namespace

bool Fault::appliesTo(int number) const {
    return number >= first && (last == Unbounded || number <= last);
}

std::optional<Fault> Fault::parse(const QString &faultText, QString *error) {
    static const QRegularExpression form(
        QStringLiteral("^([a-z0-9]+)(?:@([0-9]+)(\\+)?)?(?:=([0-9]+))?$"));
    const QRegularExpressionMatch match = form.match(faultText.trimmed().toLower());
    auto fail = [&](const QString &why) -> std::optional<Fault> {
        if (error)
            *error = QStringLiteral("bad fault \"%1\": %2").arg(faultText, why);
        return std::nullopt;
    };
    if (!match.hasMatch())
        return fail(QStringLiteral("expected KIND[@N[+]][=VALUE]"));

    Fault fault;
    bool known = false;
    for (const auto &[kind, text] : kindNames) {
        if (match.captured(1) == QLatin1String(text)) {
            fault.kind = kind;
            known = true;
        }
    }
    if (!known)
        return fail(QStringLiteral("unknown kind"));

    if (match.hasCaptured(2)) {
        bool ok = false;
        fault.first = match.captured(2).toInt(&ok);
        if (!ok || fault.first < 1)
            return fail(QStringLiteral("N counts from 1"));
        fault.last = match.hasCaptured(3) ? Unbounded : fault.first;
    }

    const bool takesValue = fault.kind == Kind::Delay || fault.kind == Kind::Garbage;
    if (match.hasCaptured(4)) {
        if (!takesValue)
            return fail(QStringLiteral("this kind takes no value"));
        bool ok = false;
        fault.value = match.captured(4).toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("value out of range"));
    } else if (fault.kind == Kind::Delay) {
        return fail(QStringLiteral("delay needs =MILLISECONDS"));
    } else if (fault.kind == Kind::Garbage) {
        fault.value = StatusReply::Length;
    }
    if (fault.kind == Kind::Garbage && fault.value < 1)
        return fail(QStringLiteral("garbage needs at least one byte"));
    return fault;
}

QString Fault::name(Kind kind) {
    for (const auto &[k, text] : kindNames) {
        if (k == kind)
            return QLatin1String(text);
    }
    return QString();
}

QString Fault::helpText() {
    return QStringLiteral(
        "Faults (--fault KIND[@N[+]][=VALUE], repeatable). N counts the packets\n"
        "the printer answers, \"{SR}\" included, from 1 and afresh for each\n"
        "connection; \"@N\" hits the N-th only, \"@N+\" the N-th and all after it,\n"
        "no \"@\" hits every one.\n"
        "  silent          no reply at all\n"
        "  delay=MS        reply after MS milliseconds (real time, not scaled)\n"
        "  error           packet error: \"?\" as 13th character (and CP=4)\n"
        "  cp4             CP=4 instead of CP=0 (unsuccessful transmission)\n"
        "  short           only the first 10 characters of the reply\n"
        "  long            a 20-character reply, sent in one piece\n"
        "  garbage[=K]     K bytes of line noise instead of the reply (default 14)\n"
        "  drop            close the TCP connection instead of replying\n"
        "  hangup          close the pseudo-terminal instead of replying; a new one\n"
        "                  opens under a new path (printed again, link updated)\n"
        "  refuse          refuse TCP connections; here N counts connections, so\n"
        "                  refuse@3 serves two clients and refuses from the third on\n");
}

ReplyAction FaultPlan::actionFor(int packetNumber) const {
    ReplyAction action;
    for (const Fault &fault : m_faults) {
        if (!fault.appliesTo(packetNumber))
            continue;
        switch (fault.kind) {
        case Fault::Kind::Silent:
            action.silent = true;
            break;
        case Fault::Kind::Delay:
            action.delayMs += fault.value;
            break;
        case Fault::Kind::PacketError:
            action.packetError = true;
            break;
        case Fault::Kind::Cp4:
            action.cp4 = true;
            break;
        case Fault::Kind::Short:
            action.shape = ReplyAction::Shape::Short;
            break;
        case Fault::Kind::Long:
            action.shape = ReplyAction::Shape::Long;
            break;
        case Fault::Kind::Garbage:
            action.shape = ReplyAction::Shape::Garbage;
            action.garbageBytes = fault.value;
            break;
        case Fault::Kind::Drop:
            action.drop = true;
            break;
        case Fault::Kind::Hangup:
            action.hangup = true;
            break;
        case Fault::Kind::Refuse:
            break;
        }
    }
    return action;
}

bool FaultPlan::refusesConnection(int connectionNumber) const {
    for (const Fault &fault : m_faults) {
        if (fault.kind == Fault::Kind::Refuse && connectionNumber >= fault.first)
            return true;
    }
    return false;
}

} // namespace zelsim

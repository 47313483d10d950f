#include "Target.h"

#include "SerialDeviceMap.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace {
const char *const kFlowNames[] = {"none", "xonxoff", "rts", "rts-xonxoff"};
} // namespace

QString Target::name() const {
    if (isSerial())
        return QStringLiteral("com%1").arg(comPort);
    const bool v6 = host.contains(QLatin1Char(':'));
    return QStringLiteral("tcp:") + (v6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
           QLatin1Char(':') + QString::number(port);
}

std::optional<Target> Target::parse(const QString &text, QString *error) {
    static const QRegularExpression serial(QStringLiteral("^com(\\d{1,3})$"),
                                           QRegularExpression::CaseInsensitiveOption);
    // A host name or address, an IPv6 address in brackets, then an optional port.
    static const QRegularExpression tcp(
        QStringLiteral("^tcp:(?:\\[([0-9A-Fa-f:.]+)\\]|([A-Za-z0-9._-]+))(?::(\\d{1,5}))?$"),
        QRegularExpression::CaseInsensitiveOption);
    Target target;
    if (const QRegularExpressionMatch m = serial.match(text); m.hasMatch()) {
        const int number = m.captured(1).toInt();
        if (number < 1 || number > SerialDeviceMap::kHighestPort) {
            *error = QStringLiteral("%1: serial ports run from com1 to com%2")
                         .arg(text)
                         .arg(SerialDeviceMap::kHighestPort);
            return std::nullopt;
        }
        target.mode = 0;
        target.comPort = qint16(number);
        return target;
    }
    if (const QRegularExpressionMatch m = tcp.match(text); m.hasMatch()) {
        target.mode = 1;
        target.host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
        if (!m.captured(1).isEmpty() && QHostAddress(target.host).isNull()) {
            *error = QStringLiteral("%1: not an IPv6 address").arg(text);
            return std::nullopt;
        }
        const int port = m.captured(3).isEmpty() ? kRawPort : m.captured(3).toInt();
        if (port < 1 || port > 65535) {
            *error = QStringLiteral("%1: a port runs from 1 to 65535").arg(text);
            return std::nullopt;
        }
        target.port = quint16(port);
        return target;
    }
    *error = QStringLiteral("%1: a target is com1 ... com%2 or tcp:HOST[:PORT]")
                 .arg(text)
                 .arg(SerialDeviceMap::kHighestPort);
    return std::nullopt;
}

int Target::flowCode(const QString &name) {
    for (int code = 0; code < 4; ++code)
        if (name.compare(QLatin1String(kFlowNames[code]), Qt::CaseInsensitive) == 0)
            return code;
    return -1;
}

QString Target::flowName(int code) {
    return code >= 0 && code < 4 ? QLatin1String(kFlowNames[code]) : QString();
}

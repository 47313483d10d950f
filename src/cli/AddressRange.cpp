#include "AddressRange.h"

#include <QNetworkInterface>
#include <QSet>

namespace {
constexpr int kNarrowestLocalPrefix = 24;

// The usable hosts of a subnet: without its network and broadcast
// addresses where it has them.
std::pair<quint32, quint32> hostSpan(quint32 network, int prefix) {
    const quint32 size = prefix == 0 ? 0xFFFFFFFFu : (quint32(1) << (32 - prefix)) - 1;
    const quint32 first = network, last = network + size;
    return prefix <= 30 ? std::pair{first + 1, last - 1} : std::pair{first, last};
}

std::optional<quint32> ipv4(const QString &text) {
    const QHostAddress address(text.trimmed());
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return std::nullopt;
    return address.toIPv4Address();
}
} // namespace

QList<QHostAddress> AddressRange::hostsOf(quint32 first, quint32 last) {
    QList<QHostAddress> hosts;
    for (quint64 a = first; a <= last; ++a)
        hosts << QHostAddress(quint32(a));
    return hosts;
}

std::optional<QList<QHostAddress>> AddressRange::parse(const QString &text, QString *error) {
    quint32 first = 0, last = 0;
    if (text.contains(QLatin1Char('/'))) {
        const auto [network, prefix] = QHostAddress::parseSubnet(text);
        if (network.protocol() != QAbstractSocket::IPv4Protocol) {
            *error = QStringLiteral("%1: not an IPv4 subnet such as 192.168.1.0/24").arg(text);
            return std::nullopt;
        }
        std::tie(first, last) = hostSpan(network.toIPv4Address(), prefix);
    } else if (text.contains(QLatin1Char('-'))) {
        const QString from = text.section(QLatin1Char('-'), 0, 0);
        QString to = text.section(QLatin1Char('-'), 1);
        // "10.0.0.5-40": the end's first three parts are the start's.
        if (!to.contains(QLatin1Char('.')))
            to = from.section(QLatin1Char('.'), 0, 2) + QLatin1Char('.') + to;
        const auto a = ipv4(from), b = ipv4(to);
        if (!a || !b || *a > *b) {
            *error =
                QStringLiteral("%1: not an address range such as 10.0.0.5-10.0.0.40").arg(text);
            return std::nullopt;
        }
        first = *a;
        last = *b;
    } else if (const auto single = ipv4(text)) {
        first = last = *single;
    } else {
        *error = QStringLiteral("%1: give a subnet (10.0.0.0/24), a range (10.0.0.5-40) or an "
                                "IPv4 address")
                     .arg(text);
        return std::nullopt;
    }
    if (quint64(last) - first + 1 > quint64(kMostAddresses)) {
        *error = QStringLiteral("%1: more than %2 addresses").arg(text).arg(kMostAddresses);
        return std::nullopt;
    }
    return hostsOf(first, last);
}

QList<QHostAddress> AddressRange::localNetworks() {
    QList<QHostAddress> hosts;
    QSet<quint32> seen;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol || entry.prefixLength() < 0)
                continue;
            const int prefix = std::max(entry.prefixLength(), kNarrowestLocalPrefix);
            const quint32 mask = prefix == 0 ? 0 : ~((quint32(1) << (32 - prefix)) - 1);
            const auto [first, last] = hostSpan(entry.ip().toIPv4Address() & mask, prefix);
            for (const QHostAddress &host : hostsOf(first, last))
                if (!seen.contains(host.toIPv4Address())) {
                    seen.insert(host.toIPv4Address());
                    hosts << host;
                }
        }
    }
    return hosts;
}

#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <optional>

// The IPv4 addresses discover tries: a subnet ("192.168.1.0/24"), a range
// ("10.0.0.5-10.0.0.40" or "10.0.0.5-40"), a single address, or the
// machine's own local networks.
class AddressRange {
public:
    static constexpr int kMostAddresses = 65536;

    // Nothing, with the reason in `error`, for text that names no range.
    static std::optional<QList<QHostAddress>> parse(const QString &text, QString *error);
    // The networks of the interfaces that are up, loopback aside. A network
    // wider than /24 gives the /24 around the machine's own address, so
    // that a scan stays short.
    static QList<QHostAddress> localNetworks();

private:
    static QList<QHostAddress> hostsOf(quint32 first, quint32 last);
};

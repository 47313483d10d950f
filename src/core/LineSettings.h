#pragma once

#include <QString>
#include <optional>

// The serial line-settings text, "baud,parity,data bits,stop bits", for
// example "9600,N,8,1". Parity letters n e o m s in either case; data bits 7
// or 8; stop bits 1 or 2.
struct LineSettings {
    qint32 baud = 9600;
    char parity = 'N'; // upper case: N E O M S
    int dataBits = 8;
    int stopBits = 1;

    static std::optional<LineSettings> parse(const QString &text);
};

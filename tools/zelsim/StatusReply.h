#pragma once

#include <QByteArray>

namespace zelsim {

// The printer's 14-character answer:
//
//     {CP=c,P=nnn,s}
//      |      |   `- packet status: "0" good, "?" packet error (13th character)
//      |      `----- number of the answered packet in this session, modulo 1000
//      `------------ completion code: "0" accepted, "4" unsuccessful transmission
//
// The utility judges only the 13th character and looks for "CP=0" / "CP=4".
namespace StatusReply {

constexpr int Length = 14;
constexpr int StatusIndex = 12;

QByteArray make(int packetNumber, char completion = '0', char status = '0');

// 14 bytes of line noise whose 13th byte is no valid packet status.
QByteArray garbage(int length = Length);

} // namespace StatusReply

} // namespace zelsim

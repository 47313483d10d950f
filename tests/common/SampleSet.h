#pragma once

#include <QByteArray>

// A small download set as its files hold it and as the printer receives it:
// an application whose two awaited packets lie around one that takes no
// reply, a two-line format, a two-line lookup table and the closing packet.
namespace SampleSet {
inline const QByteArray kApp = "{XA,1}\r\n{F,2,A|\r\n}\r\n{XB,2}\r\n";
inline const QByteArray kAppWire = "{XA,1}{F,2,A|\r\n}{XB,2}";
inline const QByteArray kFormat =
    "{F,1,A,R,E,200,200,\"FMT1\"|\r\nC,10,10,0,1,1,1,W,\"HI\"|\r\n}\r\n";
inline const QByteArray kFormatWire = "{F,1,A,R,E,200,200,\"FMT1\"|C,10,10,0,1,1,1,W,\"HI\"|}";
inline const QByteArray kLookup = "A\r\nB|\r\n";
inline const QByteArray kLookupWire = "{R0_XXXX_A|\r\nB|\r\n}";
inline const QByteArray kFullWire = kAppWire + kFormatWire + kLookupWire + "{S }";
} // namespace SampleSet

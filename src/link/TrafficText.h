#pragma once

#include "TrafficRow.h"

#include <QByteArray>
#include <QString>

// A trace row as text: the columns of the Traffic pane and the lines of a
// saved trace (time, direction, link, verdict and bytes, tab-separated).
namespace TrafficText {

// Milliseconds since the download started, to the microsecond: "1523.042".
QString time(const TrafficRow &row);
// "to printer" or "from printer".
QString direction(const TrafficRow &row);
// The bytes, each as one character, with \r, \n, \t, <CAN>, \\ and \xNN
// for the others that cannot show; at most `limit` bytes when not negative,
// then how many more there were. A run of keep-alive blanks says how many.
QString bytes(const TrafficRow &row, const QByteArray &bytes, qsizetype limit = -1);
QString escaped(const QByteArray &bytes, qsizetype limit = -1);
// A reply's verdict ("accepted", "packet error", "CP=4", "time-out",
// "short", "more than expected"); "not awaited" for bytes that came when no
// reply was; empty for what was sent.
QString verdict(const TrafficRow &row);
QString verdictName(TrafficRow::Verdict verdict);
// The columns joined by tabs.
QString line(const TrafficRow &row, const QByteArray &rowBytes, const QString &link);

} // namespace TrafficText

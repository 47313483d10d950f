#include "TrafficText.h"

#include <algorithm>

namespace TrafficText {

QString time(const TrafficRow &row) {
    return QString::number(double(row.timeUs) / 1000.0, 'f', 3);
}

QString direction(const TrafficRow &row) {
    return row.direction() == TrafficRow::Direction::ToPrinter ? QStringLiteral("to printer")
                                                               : QStringLiteral("from printer");
}

QString escaped(const QByteArray &bytes, qsizetype limit) {
    const qsizetype shown = limit < 0 ? bytes.size() : std::min(limit, bytes.size());
    QString text;
    text.reserve(shown);
    for (qsizetype i = 0; i < shown; ++i) {
        const uchar b = uchar(bytes.at(i));
        if ((b >= 0x20 && b < 0x7f && b != '\\') || b >= 0xa0)
            text += QChar(b);
        else if (b == '\\')
            text += QStringLiteral("\\\\");
        else if (b == '\r')
            text += QStringLiteral("\\r");
        else if (b == '\n')
            text += QStringLiteral("\\n");
        else if (b == '\t')
            text += QStringLiteral("\\t");
        else if (b == 0x18)
            text += QStringLiteral("<CAN>");
        else
            text += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
    }
    if (shown < bytes.size())
        text += QStringLiteral("... (%1 more bytes)").arg(bytes.size() - shown);
    return text;
}

QString bytes(const TrafficRow &row, const QByteArray &bytes, qsizetype limit) {
    if (row.kind == TrafficRow::Kind::KeepAlive && bytes.count(' ') == bytes.size())
        return row.size == 1 ? QStringLiteral("(keep-alive blank)")
                             : QStringLiteral("(%1 keep-alive blanks)").arg(row.size);
    QString text = escaped(bytes, limit);
    if (row.kept < row.size)
        text += QStringLiteral(" (%1 more bytes not kept)").arg(row.size - row.kept);
    return text;
}

QString verdictName(TrafficRow::Verdict verdict) {
    switch (verdict) {
    case TrafficRow::Verdict::None:
        break;
    case TrafficRow::Verdict::Accepted:
        return QStringLiteral("accepted");
    case TrafficRow::Verdict::PacketError:
        return QStringLiteral("packet error");
    case TrafficRow::Verdict::Cp4:
        return QStringLiteral("CP=4");
    case TrafficRow::Verdict::TimedOut:
        return QStringLiteral("time-out");
    case TrafficRow::Verdict::Short:
        return QStringLiteral("short");
    case TrafficRow::Verdict::TooLong:
        return QStringLiteral("more than expected");
    }
    return {};
}

QString verdict(const TrafficRow &row) {
    if (row.kind == TrafficRow::Kind::Stray)
        return QStringLiteral("not awaited");
    return verdictName(row.verdict);
}

QString line(const TrafficRow &row, const QByteArray &rowBytes, const QString &link) {
    const QChar tab(QLatin1Char('\t'));
    return time(row) + tab + direction(row) + tab + link + tab + verdict(row) + tab +
           bytes(row, rowBytes);
}

} // namespace TrafficText

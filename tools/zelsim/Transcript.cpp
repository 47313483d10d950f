#include "Transcript.h"

#include <QFileDevice>
#include <QIODevice>
#include <QTime>

namespace zelsim {

void Transcript::note(const QString &source, const QString &what, const QByteArray &bytes) {
    QByteArray line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    line += ' ';
    line += source.toUtf8();
    line += ' ';
    line += what.toUtf8();
    if (!bytes.isEmpty()) {
        line += ' ';
        line += printable(bytes);
    }
    line += '\n';
    m_out->write(line);
    if (auto *file = qobject_cast<QFileDevice *>(m_out))
        file->flush();
}

QByteArray Transcript::printable(const QByteArray &bytes, int limit) {
    QByteArray out;
    const QByteArray shown = bytes.left(limit);
    for (const char c : shown) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (u >= 0x20 && u < 0x7f)
            out += c;
        else
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    if (bytes.size() > limit)
        out += "... (" + QByteArray::number(bytes.size()) + " bytes)";
    return out;
}

} // namespace zelsim

#include "BenchApplication.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace BenchApplication {

// Every line that closes an acknowledged packet ends in "}", the others end
// in "|" and stream without a reply.
QString make(const QTemporaryDir &dir, int megabytes, qint64 *lines) {
    const QString path = dir.filePath(QStringLiteral("bench-%1mb.fpc").arg(megabytes));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const QByteArray payload(380, 'D');
    const qint64 total = qint64(megabytes) * 1000 * 1000 / 400;
    const qint64 perPacket = std::max<qint64>(1, total / kPackets);
    for (qint64 i = 0; i < total; ++i) {
        if (i % perPacket == 0)
            file.write("{XB," + QByteArray::number(i).rightJustified(9, '0') + "," + payload);
        else
            file.write(payload + QByteArray(14, 'E'));
        file.write((i % perPacket == perPacket - 1) ? "}\r\n" : "|\r\n");
    }
    if (!file.flush())
        return {};
    *lines = total;
    return path;
}

} // namespace BenchApplication

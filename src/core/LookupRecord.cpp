#include "LookupRecord.h"

#include "LineReader.h"

#include <QFile>

namespace LookupRecord {

bool isRecordHead(const QByteArray &firstLine) {
    const QByteArray head = firstLine.left(4).trimmed();
    if (head.size() != 4 || !head.startsWith("{R") || head.at(3) != '_')
        return false;
    const char id = head.at(2);
    return (id >= '0' && id <= '9') || (id >= 'A' && id <= 'K');
}

bool isRecordFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    LineReader reader(file);
    const std::optional<QByteArray> first = reader.readLine();
    return !first || isRecordHead(*first);
}

QByteArray make(const QByteArray &text, int number) {
    const char id = char((text.contains('|') ? '0' : 'B') + number);
    return QByteArrayLiteral("{R") + id + QByteArrayLiteral("_XXXX_") + text + '}';
}

} // namespace LookupRecord

#include "LookupRecord.h"

#include "EngineView.h"
#include "LineReader.h"
#include "SharedState.h"

#include <QFile>

namespace LookupRecord {

bool isRecordFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    LineReader reader(file);
    const std::optional<QByteArray> first = reader.readLine();
    if (!first)
        return true;
    const QByteArray head = first->left(4).trimmed();
    if (head.size() != 4 || !head.startsWith("{R") || head.at(3) != '_')
        return false;
    const char id = head.at(2);
    return (id >= '0' && id <= '9') || (id >= 'A' && id <= 'K');
}

bool hasPipe(const QByteArray &text) {
    return text.contains('|');
}

QByteArray make(const QByteArray &text, SharedState &state, EngineView &view) {
    if (state.nextLookupNumber < 0)
        state.nextLookupNumber = 0;
    if (state.nextLookupNumber > 9)
        view.setStatus(QStringLiteral("Invalid lookup count: ") +
                       QString::number(state.nextLookupNumber));
    const char id = char((hasPipe(text) ? 48 : 66) + state.nextLookupNumber);
    state.nextLookupNumber = qint16(state.nextLookupNumber + 1);
    return QByteArrayLiteral("{R") + id + QByteArrayLiteral("_XXXX_") + text + '}';
}

} // namespace LookupRecord

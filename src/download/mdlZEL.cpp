#include "mdlZEL.h"

#include "EngineView.h"
#include "LineReader.h"
#include "SharedState.h"

#include <QFile>

namespace mdlZEL {

bool IsLookupRecordFile(const QString &path) {
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

bool HasPipe(const QByteArray &text) {
    return text.contains('|');
}

QByteArray MakeLookupRecord(const QByteArray &text, SharedState &state, EngineView &view) {
    if (state.gintLookupCount < 0)
        state.gintLookupCount = 0;
    if (state.gintLookupCount > 9)
        view.setStatus(QStringLiteral("Invalid lookup count: ") +
                       QString::number(state.gintLookupCount));
    const char id = char((HasPipe(text) ? 48 : 66) + state.gintLookupCount);
    state.gintLookupCount = qint16(state.gintLookupCount + 1);
    return QByteArrayLiteral("{R") + id + QByteArrayLiteral("_XXXX_") + text + '}';
}

} // namespace mdlZEL

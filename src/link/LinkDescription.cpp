#include "LinkDescription.h"

#include "SharedState.h"

namespace LinkDescription {

QString serial(const SharedState &state) {
    static const char *const suffixes[] = {" None", " Xon/Xoff", " RTS/CTS", " RTS+Xon/Xoff"};
    const int code = state.handshaking;
    const QString suffix = QLatin1String((code >= 0 && code <= 3) ? suffixes[code] : " ?");
    return QStringLiteral("Com") + QString::number(state.comPort) + QLatin1Char(' ') +
           state.lineSettings + suffix;
}

QString socket(const SharedState &state) {
    return state.ipAddress + QStringLiteral(" at port ") + QString::number(state.ipPort);
}

QString serialMode() {
    return QStringLiteral("Serial Mode");
}

QString socketMode() {
    return QStringLiteral("TCP/IP Mode");
}

} // namespace LinkDescription

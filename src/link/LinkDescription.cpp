#include "LinkDescription.h"

#include "SharedState.h"

namespace LinkDescription {

QString serial(const SharedState &state) {
    static const char *const suffixes[] = {" None", " Xon/Xoff", " RTS/CTS", " RTS+Xon/Xoff"};
    const int code = state.gintHandshaking;
    const QString suffix = QLatin1String((code >= 0 && code <= 3) ? suffixes[code] : " ?");
    return QStringLiteral("Com") + QString::number(state.gintComPort) + QLatin1Char(' ') +
           state.gstrSettings + suffix;
}

QString socket(const SharedState &state) {
    return state.gstrIPAddress + QStringLiteral(" at port ") + QString::number(state.glngIPPort);
}

QString serialMode() {
    return QStringLiteral("Serial Mode");
}

QString socketMode() {
    return QStringLiteral("TCP/IP Mode");
}

} // namespace LinkDescription

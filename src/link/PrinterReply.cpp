#include "PrinterReply.h"

#include "SettingsStore.h"
#include "SharedState.h"

float ReloadReplyTimeout(SharedState &state, const SettingsStore &store) {
    if (const auto v = SettingText::toSingle(store.read(QStringLiteral("Timeout"), "25")))
        state.msngTimeout = *v;
    if (state.msngTimeout < 30.0f)
        state.msngTimeout = 30.0f;
    return state.msngTimeout;
}

bool isAcceptedReply(const QByteArray &reply) {
    if (reply.size() < 13)
        return false;
    const char c = reply.at(12);
    return c == '0' || c == ' ' || c == '=';
}

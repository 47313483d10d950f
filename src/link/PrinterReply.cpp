#include "PrinterReply.h"

#include "SettingsStore.h"
#include "SharedState.h"

float reloadReplyTimeout(SharedState &state, const SettingsStore &store) {
    if (const auto v = SettingText::toSingle(store.read(QStringLiteral("Timeout"), "25")))
        state.replyTimeout = *v;
    if (state.replyTimeout < 30.0f)
        state.replyTimeout = 30.0f;
    return state.replyTimeout;
}

bool isAcceptedReply(const QByteArray &reply) {
    if (reply.size() < 13)
        return false;
    const char c = reply.at(12);
    return c == '0' || c == ' ' || c == '=';
}

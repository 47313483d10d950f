#include "ReplyTimeout.h"

#include "SettingsStore.h"
#include "SharedState.h"

float ReloadReplyTimeout(SharedState &state, const SettingsStore &store) {
    if (const auto v = SettingText::toSingle(store.read(QStringLiteral("Timeout"), "25")))
        state.msngTimeout = *v;
    if (state.msngTimeout < 30.0f)
        state.msngTimeout = 30.0f;
    return state.msngTimeout;
}

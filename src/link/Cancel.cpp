#include "Cancel.h"

#include "EngineView.h"
#include "SharedState.h"

void requestCancel(SharedState &state, EngineView &view) {
    state.abortRequested = true;
    state.operatorCancelled = true;
    view.setStatus(QStringLiteral("Please Wait..."));
}

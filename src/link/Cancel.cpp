#include "Cancel.h"

#include "EngineView.h"
#include "SharedState.h"

void CancelDownload(SharedState &state, EngineView &view) {
    state.mblnAbort = true;
    state.mblnDownloadDone = true;
    state.operatorCancelled = true;
    view.setStatus(QStringLiteral("Please Wait..."));
}

#pragma once

#include <QString>

struct SharedState;

// The texts of the status bar's two panels.
namespace LinkDescription {
QString serial(const SharedState &state); // "Com1 9600,N,8,1 Xon/Xoff"
QString socket(const SharedState &state); // address " at port " port
QString serialMode();
QString socketMode();
} // namespace LinkDescription

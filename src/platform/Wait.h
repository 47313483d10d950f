#pragma once

#include <QtGlobal>

#include <functional>

// The one wait primitive: lets the event loop run until the condition holds
// or the clock is strictly past the deadline. It sleeps in the event
// dispatcher between events, so a long wait costs next to no CPU; every
// handler (Cancel, line and socket events, timers) runs inside it.
namespace Wait {

enum class Result { ConditionMet, TimedOut };

// The condition is tested before the first yield and after each one. Once
// `closing` is set (the program is ending) the wait gives up at once.
Result until(const std::function<bool()> &condition, double deadline, const bool &closing);

// Yields until the clock reaches the deadline; returns at once, without a
// yield, when it already has.
void untilDeadline(double deadline, const bool &closing);

// Runs pending events once without blocking.
void yieldOnce();

// How long a link may block on its own descriptor for a reply before its
// wait runs the event loop: a nearby printer often answers within it, and
// the window's events are held back for less than a frame.
inline constexpr qint64 kLinkOnlyMs = 5;

// The real milliseconds a link may block now: kLinkOnlyMs, or less when the
// deadline is nearer.
int linkOnlyMs(double deadline);

} // namespace Wait

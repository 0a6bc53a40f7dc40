#pragma once

#include <chrono>
#include <functional>

enum class WaitEnd { Done, TimedOut, Cancelled };

// A button whose dynamic property of this name is true stays enabled during a wait, so that the
// user can end it: its click calls CancelRunningWait().
inline constexpr char endsWaitsProperty[] = "tarnEndsWaits";

// Waits for done() to become true, for at most limit, while Qt's event loop keeps running: the
// windows keep painting and GLib's callbacks run where Qt's event loop is GLib's. Meanwhile the
// windows take no input but that to the buttons marked with endsWaitsProperty, so that no command
// starts inside another; after a first quarter of a second every other control is disabled and
// the wait cursor shows as well. Escape, a window's close and CancelRunningWait() end the wait as
// Cancelled; the controls and the focus are as before when it returns. done() is asked after
// every round of events, and at least every few milliseconds. Done when it became true.
WaitEnd WaitRunningEvents(std::chrono::milliseconds limit, const std::function<bool()>& done);

// True while a wait runs: a command that does not end it is dropped meanwhile.
bool WaitIsRunning();

// Ends the running wait as Cancelled; false when no wait runs.
bool CancelRunningWait();

// True when Qt's event loop is GLib's main loop, and so runs GLib's callbacks (not when
// QT_NO_GLIB is set).
bool EventLoopRunsGlib();

#pragma once

#include <chrono>
#include <functional>

enum class WaitEnd { Done, TimedOut, Cancelled };

// Waits for done() to become true, for at most limit, while Qt's event loop keeps running: the
// windows keep painting and GLib's callbacks run where Qt's event loop is GLib's. Meanwhile every
// window is disabled and ignores being closed, and the wait cursor shows, so that no command
// starts inside another. done() is asked every few milliseconds. Done when it became true.
WaitEnd WaitRunningEvents(std::chrono::milliseconds limit, const std::function<bool()>& done);

// True when Qt's event loop is GLib's main loop, and so runs GLib's callbacks (not when
// QT_NO_GLIB is set).
bool EventLoopRunsGlib();

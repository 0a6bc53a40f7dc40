#pragma once

#include <windows.h>

enum class WaitEnd { Done, TimedOut, Cancelled };

// Waits until done is signalled or limitMs milliseconds have passed, while this thread's
// messages keep running (after a first quarter of a second without), so that window keeps
// painting and answering. Meanwhile every control of the window but Cancel (IDCANCEL) is
// disabled, Cancel has the focus and the wait cursor shows; Cancel (its button, Escape, the
// window's close) ends the wait as Cancelled, as does the window going away. Afterwards the
// controls are enabled as before and the focus is back where it was. Without a window, it
// only waits for done or the limit.
WaitEnd WaitWithWindowAnswering(HWND window, HANDLE done, DWORD limitMs);

// For the window's procedure: true while a wait runs over window. Its commands are then
// dropped, but for Cancel, which goes to CancelWait instead of closing the window.
bool IsWaiting(HWND window);
void CancelWait(HWND window);

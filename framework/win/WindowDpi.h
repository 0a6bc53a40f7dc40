#pragma once

#include <windows.h>

// The screen density (dots per inch) a window is drawn at: its monitor's when the program
// is aware of densities per monitor and the system can tell (Windows 10 1607 and later),
// the system's otherwise.
UINT WindowDpi(HWND window);

// The system's density, which the stock objects and the system metrics are sized for.
UINT SystemDpi();

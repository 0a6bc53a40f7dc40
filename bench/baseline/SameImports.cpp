// Linked into the baseline's second build only: one reference into each system library
// that tarnftp.exe imports, linked as tarnftp.exe links it (WinInet and the common controls
// delay-loaded), so that the loader maps the same libraries at start-up and the start-up
// comparison can tell their cost from the program's own.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <wininet.h>

using AnyFunction = void (*)();

extern AnyFunction const volatile sameImports[];
AnyFunction const volatile sameImports[] = {
    reinterpret_cast<AnyFunction>(&InternetOpenW),
    reinterpret_cast<AnyFunction>(&ShellExecuteExW),
    reinterpret_cast<AnyFunction>(&RegOpenKeyExW),
    reinterpret_cast<AnyFunction>(&CreatePen),
    reinterpret_cast<AnyFunction>(&_TrackMouseEvent),
};

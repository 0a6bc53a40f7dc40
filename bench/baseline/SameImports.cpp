// Linked into the baseline's second build only: one reference into each system library
// that tarnftp.exe imports, so that the loader maps the same libraries at start-up and the
// start-up comparison can tell their cost from the program's own. (WinInet and ole32 are
// loaded by tarnftp.exe when first needed, not imported.)
#include <windows.h>

#include <shellapi.h>

using AnyFunction = void (*)();

extern AnyFunction const volatile sameImports[];
AnyFunction const volatile sameImports[] = {
    reinterpret_cast<AnyFunction>(&ShellExecuteExW),
    reinterpret_cast<AnyFunction>(&RegOpenKeyExW),
    reinterpret_cast<AnyFunction>(&CreatePen),
    reinterpret_cast<AnyFunction>(&TrackMouseEvent),
};

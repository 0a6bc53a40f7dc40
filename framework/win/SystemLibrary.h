#pragma once

#include <windows.h>

// Loading system DLLs from the system folder only, so that a DLL of the same name placed
// beside the executable (or in the current folder, or on PATH) is never picked up.

// Restricts the process's DLL search to the system folder, for every later load by name,
// including those system DLLs make themselves. Done once; later calls do nothing. Where
// the system lacks SetDefaultDllDirectories, the restriction is not in force and
// LoadSystemLibrary loads by full path instead.
void RestrictDllSearchToSystemFolder();

// The system DLL `name` (a file name such as L"wininet.dll"), loaded from the system folder
// with LoadLibraryExW's `flags` (LOAD_LIBRARY_AS_DATAFILE, for one). Null on failure, with
// the last error set. The caller frees what it gets.
HMODULE LoadSystemLibrary(const wchar_t* name, DWORD flags = 0);

// Makes LoadSystemLibrary take the full-path branch even where the search is restricted,
// so that the branch older systems take can be tested here.
void ForceSystemLibraryFullPaths(bool force);

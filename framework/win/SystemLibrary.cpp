#include "framework/win/SystemLibrary.h"

#include <string>

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

bool searchRestricted = false;
bool restrictionTried = false;
bool forceFullPaths = false;

// The system folder, a backslash and the name; empty when the folder cannot be had.
std::wstring SystemFolderPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path += L'\\';
    return path + name;
}

} // namespace

void RestrictDllSearchToSystemFolder() {
    if (restrictionTried)
        return;
    restrictionTried = true;
    // Windows 7 and Vista have the function only with an update, so it is looked up.
    // kernel32 is always loaded and always the system's own.
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    searchRestricted =
        setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name, DWORD flags) {
    if (searchRestricted && !forceFullPaths)
        return LoadLibraryExW(name, nullptr, flags | LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::wstring path = SystemFolderPath(name);
    if (path.empty())
        return nullptr;
    // With a full path the DLL itself cannot be planted; the altered search order looks for
    // its own dependencies in its folder first, not in the executable's.
    const DWORD dataOnly = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;
    const DWORD searchFlag = (flags & dataOnly) ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH;
    return LoadLibraryExW(path.c_str(), nullptr, flags | searchFlag);
}

void ForceSystemLibraryFullPaths(bool force) {
    forceFullPaths = force;
}

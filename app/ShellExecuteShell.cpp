#include "app/ShellExecuteShell.h"
#include "framework/SystemLibrary.h"
#include "framework/WideText.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

// ShellExecuteExW may hand the request to shell extensions that use COM, so the calling
// thread gets an apartment first. Once per thread, before its first shell call, and kept
// until the process ends. ole32 is loaded here, not imported, so it stays out of start-up;
// when COM cannot be had the shell is still asked.
void InitializeComForShell() {
    thread_local bool tried = false;
    if (tried)
        return;
    tried = true;
    const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
    if (!ole32)
        return;
    const auto coInitializeEx = reinterpret_cast<decltype(&CoInitializeEx)>(
        reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitializeEx")));
    if (coInitializeEx)
        coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

} // namespace

void ShellExecuteShell::Open(ShellOwner owner, const SecretText& file,
                             const std::optional<SecretText>& parameters) {
    InitializeComForShell();
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof request;
    request.fMask = 0;
    request.hwnd = reinterpret_cast<HWND>(owner);
    request.lpVerb = L"open";
    request.lpFile = Wide(file);
    request.lpParameters = parameters ? Wide(*parameters) : nullptr;
    request.nShow = SW_SHOW;
    ShellExecuteExW(&request);
}

Text SystemWindowsFolder::WindowsFolder() const {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_WINDOWS, TRUE) || folder[0] == L'\0') {
        UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return {};
    }
    return Text(reinterpret_cast<const char16_t*>(folder));
}

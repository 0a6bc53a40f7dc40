#include "app/win/ShellExecuteShell.h"
#include "framework/win/ComApartment.h"
#include "framework/win/WideText.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

void ShellExecuteShell::Open(ShellOwner owner, const SecretText& file,
                             const std::optional<SecretText>& parameters) {
    // ShellExecuteExW may hand the request to shell extensions that use COM; when COM cannot be
    // had the shell is still asked.
    EnterComApartment();
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

Text WindowsExplorer::FileManagerPath() const {
    wchar_t folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_WINDOWS, TRUE) || folder[0] == L'\0') {
        UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            folder[0] = L'\0';
    }
    return FromWide(folder) + u"\\explorer.exe";
}

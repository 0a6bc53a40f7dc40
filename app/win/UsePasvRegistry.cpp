#include "app/win/UsePasvRegistry.h"

#include "framework/win/Handles.h"

void WriteUsePasvSetting() {
    UniqueKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Ftp", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    static const wchar_t yes[] = L"yes";
    RegSetValueExW(key.get(), L"Use PASV", 0, REG_SZ, reinterpret_cast<const BYTE*>(yes),
                   sizeof yes);
}

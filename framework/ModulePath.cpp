#include "framework/ModulePath.h"

#include <windows.h>

Text ModulePath() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return Text(reinterpret_cast<const char16_t*>(buffer), length < MAX_PATH ? length : MAX_PATH);
}

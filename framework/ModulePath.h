#pragma once

#include "common/Text.h"

// The running executable's full path, from a buffer of MAX_PATH characters (a longer path
// comes back cut by the platform).
Text ModulePath();

// Text <-> the platform's wide strings, which are UTF-16 on Windows.
inline const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline Text FromWide(const wchar_t* text) {
    return Text(reinterpret_cast<const char16_t*>(text));
}

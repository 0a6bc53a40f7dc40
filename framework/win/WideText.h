#pragma once

#include "common/Secret.h"
#include "common/Text.h"

// Text <-> the platform's wide strings, which are UTF-16 on Windows.
inline const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* Wide(const SecretText& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline Text FromWide(const wchar_t* text) {
    return Text(reinterpret_cast<const char16_t*>(text));
}

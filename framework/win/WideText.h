#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <cstddef>

// Text <-> the platform's wide strings. Both are UTF-16 on Windows, so these change only the
// type of the pointer, never the units; every such conversion of the Windows edge is here.

// Terminated units, for the functions that take a string.
inline const wchar_t* Wide(const Text& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* Wide(const SecretText& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The units of a view, not terminated: for the functions that take a length as well.
inline const wchar_t* WideUnits(TextView text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}

// Writable units, for the functions that fill a buffer; the string keeps room for the
// terminator beyond its size.
inline wchar_t* WideBuffer(Text& text) {
    return reinterpret_cast<wchar_t*>(text.data());
}
inline wchar_t* WideBuffer(SecretText& text) {
    return reinterpret_cast<wchar_t*>(text.data());
}

inline Text FromWide(const wchar_t* text) {
    return Text(reinterpret_cast<const char16_t*>(text));
}
inline Text FromWide(const wchar_t* units, std::size_t length) {
    return Text(reinterpret_cast<const char16_t*>(units), length);
}

#include "framework/win/ModulePath.h"
#include "framework/win/WideText.h"

#include <windows.h>

#include <vector>

namespace {

// The path when it fits into `units` with its terminating NUL, else empty.
Text ModulePathWithin(DWORD units) {
    std::vector<wchar_t> buffer(units);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), units);
    if (length == 0 || length >= units)
        return {};
    return FromWide(buffer.data(), length);
}

} // namespace

Text ModulePath() {
    // A long path (with the \\?\ prefix) may need up to 32767 characters.
    Text path = ModulePathWithin(MAX_PATH);
    return path.empty() ? ModulePathWithin(32768) : path;
}

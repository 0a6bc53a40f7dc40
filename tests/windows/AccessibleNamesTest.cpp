#include "framework/win/AccessibleNames.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

} // namespace

// Wine's property service answers E_NOTIMPL and it offers no accessible object for an edit
// box, so the name cannot be read back here (on Windows get_accName returns it). What can be
// checked is where the service came from, and that naming and clearing are harmless.
TEST(AccessibleNames, TheServiceIsLoadedFromTheSystemFolder) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(edit);
    {
        AccessibleNames names;
        names.Set(edit, u"Username");
        names.Set(edit, u"Username");
    }
    wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
    ASSERT_TRUE(GetModuleFileNameW(GetModuleHandleW(L"oleacc.dll"), path, MAX_PATH));
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(Lower(path), Lower(std::wstring(system) + L"\\oleacc.dll"));
    DestroyWindow(edit);
}

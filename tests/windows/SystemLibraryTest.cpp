#include "framework/win/SystemLibrary.h"
#include "framework/win/Handles.h"

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

std::wstring LoadedFrom(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return Lower(std::wstring(path, length < MAX_PATH ? length : 0));
}

} // namespace

// Both branches: the restricted search, and the full paths of systems without
// SetDefaultDllDirectories. Each loads a DLL nothing else in this process has loaded, so
// the module's path shows where this load found it.
TEST(SystemLibrary, LoadsOnlyFromTheSystemFolder) {
    RestrictDllSearchToSystemFolder();
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(folder, MAX_PATH), 0u);
    const std::wstring expected = Lower(std::wstring(folder) + L"\\cabinet.dll");

    for (bool fullPaths : {false, true}) {
        SCOPED_TRACE(fullPaths ? "full paths" : "restricted search");
        ForceSystemLibraryFullPaths(fullPaths);
        ASSERT_EQ(GetModuleHandleW(L"cabinet.dll"), nullptr);
        {
            UniqueModule library(LoadSystemLibrary(L"cabinet.dll"));
            ASSERT_TRUE(library);
            EXPECT_EQ(LoadedFrom(library.get()), expected);
            EXPECT_NE(GetProcAddress(library.get(), "FDICreate"), nullptr);
        }
        // Mapped as data, for a message table.
        EXPECT_TRUE(UniqueModule(LoadSystemLibrary(L"wininet.dll", LOAD_LIBRARY_AS_DATAFILE)));

        SetLastError(0);
        EXPECT_EQ(LoadSystemLibrary(L"tarn-no-such-library.dll"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    ForceSystemLibraryFullPaths(false);
}

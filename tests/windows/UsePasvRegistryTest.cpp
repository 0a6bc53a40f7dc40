#include "app/win/UsePasvRegistry.h"
#include "framework/win/Handles.h"

#include <gtest/gtest.h>

namespace {

constexpr const wchar_t* ftpKey = L"Software\\Microsoft\\Ftp";

struct Value {
    DWORD type = 0;
    DWORD size = 0;
    wchar_t data[16] = {};
};

bool ReadUsePasv(Value& value) {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ftpKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    value.size = sizeof value.data;
    return RegQueryValueExW(key.get(), L"Use PASV", nullptr, &value.type,
                            reinterpret_cast<BYTE*>(value.data), &value.size) == ERROR_SUCCESS;
}

} // namespace

TEST(UsePasvSetting, IsWrittenAsEightBytesOfTextInANewKeyAndOverAnOldValue) {
    RegDeleteKeyW(HKEY_CURRENT_USER, ftpKey);
    WriteUsePasvSetting();
    Value value;
    ASSERT_TRUE(ReadUsePasv(value));
    EXPECT_EQ(value.type, DWORD(REG_SZ));
    EXPECT_EQ(value.size, 8u);
    EXPECT_STREQ(value.data, L"yes");

    UniqueKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ftpKey, 0, KEY_WRITE, key.put()), ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"Use PASV", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"no"), 6);
    WriteUsePasvSetting();
    ASSERT_TRUE(ReadUsePasv(value));
    EXPECT_STREQ(value.data, L"yes");
}

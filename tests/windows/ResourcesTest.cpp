// The resources linked into tarnftp.exe, read back from the exe itself: the logon
// window's template item by item, the string table and the icons.
#include "framework/win/ModulePath.h"
#include "framework/win/WideText.h"
#include "res/resource.h"
#include "tarnftp_version.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, size_t size) : data(data), size(size) {}

    template <typename T> T Read() {
        T value{};
        if (offset + sizeof(T) <= size)
            std::memcpy(&value, data + offset, sizeof(T));
        offset += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        while (wchar_t c = Read<wchar_t>())
            text += c;
        return text;
    }
    // A name or an ordinal; predefined control classes come back by name.
    std::wstring NameOrOrdinal() {
        if (Peek() != 0xFFFF)
            return String();
        Read<std::uint16_t>();
        std::uint16_t ordinal = Read<std::uint16_t>();
        switch (ordinal) {
        case 0x80:
            return L"BUTTON";
        case 0x81:
            return L"EDIT";
        case 0x82:
            return L"STATIC";
        default:
            return L"#" + std::to_wstring(ordinal);
        }
    }
    void AlignToDword() { offset = (offset + 3) & ~size_t(3); }
    bool Done() const { return offset >= size; }

private:
    std::uint16_t Peek() const {
        std::uint16_t value = 0;
        if (offset + 2 <= size)
            std::memcpy(&value, data + offset, 2);
        return value;
    }
    const std::uint8_t* data;
    size_t size;
    size_t offset = 0;
};

struct Item {
    std::uint32_t id;
    std::wstring className;
    std::wstring text;
    std::uint32_t style;
    std::uint32_t exStyle;
    short x, y, cx, cy;
};

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Text folder = ModulePath().substr(0, ModulePath().rfind(u'\\'));
        exePath = folder + u"\\tarnftp.exe";
        exe = LoadLibraryExW(Wide(exePath), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (exe)
            FreeLibrary(exe);
    }
    void SetUp() override { ASSERT_NE(exe, nullptr) << "tarnftp.exe beside the tests"; }

    static Reader Resource(LPCWSTR type, WORD id) {
        HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(id), type);
        if (!found)
            return Reader(nullptr, 0);
        auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(exe, found)));
        return Reader(data, SizeofResource(exe, found));
    }

    static inline Text exePath;
    static inline HMODULE exe = nullptr;
};

} // namespace

TEST_F(Resources, LogonTemplateIsTheExtendedTemplateOfTheWindow) {
    Reader dialog = Resource(RT_DIALOG, IDD_LOGON);
    ASSERT_FALSE(dialog.Done());
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 1);      // version
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 0xFFFF); // extended template
    EXPECT_EQ(dialog.Read<std::uint32_t>(), 0u);     // help id
    EXPECT_EQ(dialog.Read<std::uint32_t>(), 0x00040000u);
    EXPECT_EQ(dialog.Read<std::uint32_t>(), 0x80C800C0u);
    std::uint16_t count = dialog.Read<std::uint16_t>();
    EXPECT_EQ(dialog.Read<short>(), 0);
    EXPECT_EQ(dialog.Read<short>(), 0);
    EXPECT_EQ(dialog.Read<short>(), 194);
    EXPECT_EQ(dialog.Read<short>(), 107);
    EXPECT_EQ(dialog.NameOrOrdinal(), L""); // no menu
    EXPECT_EQ(dialog.NameOrOrdinal(), L""); // the standard dialog class
    EXPECT_EQ(dialog.String(), L"TarnGroup FTP Logon");
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 10); // points
    EXPECT_EQ(dialog.Read<std::uint16_t>(), 0);  // weight
    EXPECT_EQ(dialog.Read<std::uint8_t>(), 0);   // italic
    EXPECT_EQ(dialog.Read<std::uint8_t>(), 0);   // character set
    EXPECT_EQ(dialog.String(), L"System");

    const Item expected[] = {
        {1012, L"EDIT", L"", 0x50810080, 0, 67, 22, 98, 12},
        {1013, L"EDIT", L"", 0x508100A0, 0, 67, 42, 98, 12},
        {1, L"BUTTON", L"Logon", 0x50010001, 0, 53, 89, 40, 14},
        {2, L"BUTTON", L"Cancel", 0x50010000, 0, 7, 89, 40, 14},
        {1014, L"STATIC", L"Username:", 0x50020002, 0, 23, 24, 41, 8},
        {1015, L"STATIC", L"Password:", 0x50020002, 0, 29, 44, 35, 8},
        {0xFFFFFFFF, L"BUTTON", L"TarnFTP Logon Info:", 0x50000007, 0, 7, 7, 178, 55},
        {1031, L"BUTTON", L"Remember Logon Info", 0x50010003, 0, 51, 68, 88, 10},
        {3, L"BUTTON", L"Sign Up", 0x50010000, 0, 99, 89, 40, 14},
        {57670, L"BUTTON", L"Help", 0x50010000, 0, 145, 89, 40, 14},
    };
    ASSERT_EQ(count, std::size(expected));
    for (const Item& want : expected) {
        dialog.AlignToDword();
        EXPECT_EQ(dialog.Read<std::uint32_t>(), 0u); // help id
        Item got{};
        got.exStyle = dialog.Read<std::uint32_t>();
        got.style = dialog.Read<std::uint32_t>();
        got.x = dialog.Read<short>();
        got.y = dialog.Read<short>();
        got.cx = dialog.Read<short>();
        got.cy = dialog.Read<short>();
        got.id = dialog.Read<std::uint32_t>();
        got.className = dialog.NameOrOrdinal();
        got.text = dialog.NameOrOrdinal();
        std::uint16_t extra = dialog.Read<std::uint16_t>();
        EXPECT_EQ(extra, 0);
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, want.exStyle);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST_F(Resources, StringTableHoldsTheTwoLogonFailures) {
    wchar_t text[64];
    ASSERT_GT(LoadStringW(exe, IDS_LOGON_SERVER_UNAVAILABLE, text, 64), 0);
    EXPECT_STREQ(text, L"Logon failed, server unavailable.");
    ASSERT_GT(LoadStringW(exe, IDS_LOGON_FAILED, text, 64), 0);
    EXPECT_STREQ(text, L"Logon failed.");
}

TEST_F(Resources, IconsComeInTheirSizesWith256Colours) {
    struct Want {
        WORD id;
        std::vector<int> sizes;
    };
    // An image for each size the icon is drawn at from 96 to 192 dots per inch, the 16-pixel
    // one first, which is what a load that names no size takes.
    const std::vector<int> buttonSizes{16, 20, 24, 32};
    for (const Want& want : {Want{IDR_MAINFRAME, {16, 24, 32, 48}}, Want{IDI_LOGON, buttonSizes},
                             Want{IDI_CANCEL, buttonSizes}, Want{IDI_HELP, buttonSizes}}) {
        Reader group = Resource(RT_GROUP_ICON, want.id);
        ASSERT_FALSE(group.Done()) << want.id;
        group.Read<std::uint16_t>();
        EXPECT_EQ(group.Read<std::uint16_t>(), 1); // icon
        std::uint16_t count = group.Read<std::uint16_t>();
        std::vector<int> sizes;
        for (int i = 0; i < count; ++i) {
            int width = group.Read<std::uint8_t>();
            int height = group.Read<std::uint8_t>();
            group.Read<std::uint8_t>(); // colour count
            group.Read<std::uint8_t>();
            group.Read<std::uint16_t>(); // planes
            EXPECT_EQ(group.Read<std::uint16_t>(), 8) << "bits per pixel of icon " << want.id;
            group.Read<std::uint32_t>();
            group.Read<std::uint16_t>();
            EXPECT_EQ(width, height);
            sizes.push_back(width);
        }
        EXPECT_EQ(sizes, want.sizes) << want.id;
    }
}

// The version is the one this build was configured with, as numbers and as text.
TEST_F(Resources, CarriesTheBuildsVersionAndAManifest) {
    DWORD size = GetFileVersionInfoSizeW(Wide(exePath), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(Wide(exePath), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const WORD numbers[] = {TARN_FILE_VERSION_NUMBERS};
    static_assert(std::size(numbers) == 4);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(numbers[1], numbers[0]));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(numbers[3], numbers[2]));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT chars = 0;
        std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars))
            return std::wstring(L"(missing)");
        return std::wstring(text);
    };
    std::wstring numbersText;
    for (WORD number : numbers)
        numbersText += (numbersText.empty() ? L"" : L".") + std::to_wstring(number);
    EXPECT_EQ(value(L"FileVersion"), numbersText);
    EXPECT_EQ(value(L"FileVersion"), L"" TARN_FILE_VERSION_TEXT);
    EXPECT_EQ(value(L"ProductVersion"), L"" TARN_VERSION_NAME);

    Reader manifest = Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.Done());
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    std::string text(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                     SizeofResource(exe, found));
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(text.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"), std::string::npos); // 10 and 11
    EXPECT_NE(text.find("35138b9a-5d96-4fbd-8e2d-a2440225f93a"), std::string::npos); // 7
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
    // The classic look: no dependency on the visual-styles common controls.
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
}

#include "controls/win/IconButton.h"
#include "controls/OwnerDrawConstants.h"
#include "controls/win/GdiCanvas.h"
#include "tests/IconButtonPixelGeometry.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int buttonId = 1001;
constexpr unsigned logonIcon = 164, cancelIcon = 165, helpIcon = 166;
constexpr int faceWidth = 75, faceHeight = 23;

// Live GDI objects of this process. GetGuiResources answers nothing under Wine, so the
// handle table is walked instead: a GDI handle's low word names its slot.
int CountGdiObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported)
        return static_cast<int>(reported);
    int count = 0;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)))
            ++count;
    return count;
}

// A 32-bit bitmap selected into a memory DC, to paint faces into and read back.
class FaceBitmap {
public:
    explicit FaceBitmap(int width = faceWidth, int height = faceHeight)
        : width(width), height(height), dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        selection.emplace(dc.get(), bitmap.get());
    }
    HDC Dc() const { return dc.get(); }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc.get(), x, y); }
    // The face as text, one letter per colour, for failure messages.
    std::string Dump() const {
        std::map<COLORREF, char> letters;
        std::string text = "\n";
        for (int y = 0; y < height; ++y, text += '\n')
            for (int x = 0; x < width; ++x)
                text +=
                    letters.try_emplace(Pixel(x, y), char('a' + letters.size() % 26)).first->second;
        for (auto [colour, letter] : letters)
            text += std::string(1, letter) + "=" + std::to_string(colour) + " ";
        return text;
    }
    std::vector<POINT> PixelsOf(COLORREF colour) const {
        std::vector<POINT> found;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Pixel(x, y) == colour)
                    found.push_back({x, y});
        return found;
    }

private:
    int width;
    int height;
    UniqueMemoryDc dc;
    UniqueBitmap bitmap;
    std::optional<SelectObjectGuard> selection;
};

using Geometry = FaceGeometry;

// The face's pixels of one colour against expected places, both row by row.
bool SamePixels(const std::vector<POINT>& a, const std::vector<PixelPoint>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](POINT p, PixelPoint q) { return p.x == q.x && p.y == q.y; });
}

// Counts the draw requests the button gets, and paints as usual.
class CountingIconButton : public CIconButton {
public:
    void DrawItem(const DRAWITEMSTRUCT& drawItem) override {
        ++draws;
        CIconButton::DrawItem(drawItem);
    }
    int draws = 0;
};

int clicks = 0;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        ++clicks;
    if (message == WM_DRAWITEM) {
        const auto& drawItem = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (CButton* button = CButton::FromHandle(drawItem.hwndItem)) {
            button->DrawItem(drawItem);
            return TRUE;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A visible top-level window with one push button of the given pixel size.
class ButtonWindow {
public:
    ButtonWindow(int width, int height, DWORD buttonType = BS_DEFPUSHBUTTON) {
        static const ATOM parentClass = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = ParentProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"IconButtonTestParent";
            return RegisterClassW(&windowClass);
        }();
        parent = CreateWindowExW(0, MAKEINTATOM(parentClass), L"Icon button", WS_POPUP, 100, 100,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        button = CreateWindowExW(0, L"BUTTON", L"Logon", WS_CHILD | WS_VISIBLE | buttonType, 10, 10,
                                 width, height, parent, reinterpret_cast<HMENU>(buttonId),
                                 GetModuleHandleW(nullptr), nullptr);
        // Shown without activation: under Wine, destroying an activated window waits two
        // seconds for the window manager.
        ShowWindow(parent, SW_SHOWNOACTIVATE);
    }
    ~ButtonWindow() { DestroyWindow(parent); }
    HWND Parent() const { return parent; }
    HWND Button() const { return button; }

private:
    HWND parent = nullptr;
    HWND button = nullptr;
};

// Counts DestroyIcon calls per handle by redirecting this executable's import of it.
extern "C" void* __imp_DestroyIcon;
std::map<HICON, int> destroyedIcons;
BOOL(WINAPI* realDestroyIcon)(HICON) = nullptr;
BOOL WINAPI CountingDestroyIcon(HICON icon) {
    ++destroyedIcons[icon];
    return realDestroyIcon(icon);
}

class DestroyIconCounter {
public:
    DestroyIconCounter() {
        destroyedIcons.clear();
        realDestroyIcon = reinterpret_cast<BOOL(WINAPI*)(HICON)>(
            Swap(reinterpret_cast<void*>(CountingDestroyIcon)));
    }
    ~DestroyIconCounter() { Swap(reinterpret_cast<void*>(realDestroyIcon)); }

private:
    static void* Swap(void* replacement) {
        DWORD protection = 0;
        VirtualProtect(&__imp_DestroyIcon, sizeof(void*), PAGE_READWRITE, &protection);
        void* previous = std::exchange(__imp_DestroyIcon, replacement);
        VirtualProtect(&__imp_DestroyIcon, sizeof(void*), protection, &protection);
        return previous;
    }
};

// Every case at 96 dots per inch and again at 144, where the window tells the button of the
// new density as the logon window does when it moves to another screen.
class IconButtonPixels : public testing::TestWithParam<Geometry> {
protected:
    IconButtonPixels() {
        EXPECT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        button.SetIcon(logonIcon, 0, 0);
        if (g.dpi != 96)
            button.OnDpiChanged(g.dpi);
    }

    void Paint(std::uint32_t itemState, bool hovering = false) {
        ButtonFace face = button.FaceFor(itemState, {0, 0, g.width, g.height}, u"Logon");
        face.hovering = hovering;
        // A colour of its own, so the focus marks can be told from the rest of the face.
        face.colours.infoBackground = info;
        PaintButtonFaceInto(bitmap.Dc(), face, button.CaptionFont());
    }
    std::vector<PixelPoint> Marks(int inset) const {
        return CornerMarkPixels(g, g.width, g.height, inset);
    }

    const Geometry& g = GetParam();
    const int w = g.width, h = g.height;
    ButtonWindow window{g.width, g.height};
    CIconButton button;
    FaceBitmap bitmap{g.width, g.height};
    const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                   shadow = GetSysColor(COLOR_BTNSHADOW), info = RGB(255, 0, 255),
                   text = GetSysColor(COLOR_BTNTEXT), gray = GetSysColor(COLOR_GRAYTEXT);
    // The logon icon's door frame has a dark outline at g.outline.
    const COLORREF iconOutline = RGB(iconOutlineRed, iconOutlineGreen, iconOutlineBlue);
};

INSTANTIATE_TEST_SUITE_P(Dpi, IconButtonPixels, testing::Values(at96, at144),
                         [](const testing::TestParamInfo<Geometry>& info) {
                             return "At" + std::to_string(info.param.dpi);
                         });

TEST_P(IconButtonPixels, IdleFaceHasTheFlatFrameTheIconAndTheCaption) {
    Paint(0);
    EXPECT_EQ(bitmap.Pixel(0, 0), light);
    EXPECT_EQ(bitmap.Pixel(w - 2, 0), light);
    EXPECT_EQ(bitmap.Pixel(w - 1, 0), shadow);
    EXPECT_EQ(bitmap.Pixel(0, h - 1), shadow);
    EXPECT_EQ(bitmap.Pixel(2, 2), face);
    EXPECT_EQ(bitmap.Pixel(g.icon.left + g.outline.x, g.icon.top + g.outline.y), iconOutline);
    EXPECT_TRUE(bitmap.PixelsOf(info).empty()) << bitmap.Dump();
    const auto captionPixels = bitmap.PixelsOf(text);
    ASSERT_FALSE(captionPixels.empty());
    for (POINT p : captionPixels)
        EXPECT_TRUE(p.x >= g.captionLeft && p.x < g.captionRight) << p.x << "," << p.y;
}

TEST_P(IconButtonPixels, FocusedFaceHasTheInfoColourCornerMarksOfTheExample) {
    Paint(ODS_FOCUS);
    EXPECT_TRUE(SamePixels(bitmap.PixelsOf(info), Marks(0))) << bitmap.Dump();
    EXPECT_EQ(bitmap.Pixel(g.markNear, g.markNear), info);
    EXPECT_EQ(bitmap.Pixel(w - g.markFar, h - g.markFar), info);
    EXPECT_EQ(bitmap.Pixel(w - g.markFar + 1, h - g.markFar), face);
}

TEST_P(IconButtonPixels, HotFaceIsLightWithMarksInTheTextColour) {
    Paint(ODS_FOCUS, true);
    EXPECT_EQ(bitmap.Pixel(2, 2), light);
    EXPECT_TRUE(bitmap.PixelsOf(info).empty());
    for (PixelPoint p : Marks(0))
        EXPECT_EQ(bitmap.Pixel(p.x, p.y), text) << p.x << "," << p.y;
}

TEST_P(IconButtonPixels, PressedFaceIsSunkenWithContentsMovedByTheInset) {
    Paint(ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(bitmap.Pixel(0, 0), shadow);
    EXPECT_EQ(bitmap.Pixel(w - 1, h - 1), light);
    EXPECT_EQ(bitmap.Pixel(2, 2), light);
    EXPECT_EQ(bitmap.Pixel(g.icon.left + g.inset + g.outline.x, g.icon.top + g.inset + g.outline.y),
              iconOutline);
    for (PixelPoint p : Marks(g.inset))
        EXPECT_EQ(bitmap.Pixel(p.x, p.y), text) << p.x << "," << p.y;
}

TEST_P(IconButtonPixels, DisabledFaceIsEmbossedWithoutMarks) {
    Paint(ODS_DISABLED | ODS_FOCUS, true);
    EXPECT_EQ(bitmap.Pixel(2, 2), face);
    EXPECT_NE(bitmap.Pixel(g.icon.left + g.outline.x, g.icon.top + g.outline.y), iconOutline);
    EXPECT_TRUE(bitmap.PixelsOf(info).empty()) << bitmap.Dump();
    EXPECT_FALSE(bitmap.PixelsOf(gray).empty());
    if (text != gray) {
        EXPECT_TRUE(bitmap.PixelsOf(text).empty());
    }
}

TEST_P(IconButtonPixels, DrawItemPaintsIntoAnyDcWithTheItemsFlags) {
    DRAWITEMSTRUCT drawItem{};
    drawItem.CtlType = ODT_BUTTON;
    drawItem.hwndItem = button.GetSafeHwnd();
    drawItem.hDC = bitmap.Dc();
    drawItem.rcItem = {0, 0, w, h};
    drawItem.itemState = ODS_FOCUS;
    button.DrawItem(drawItem);
    // The real marks colour may be the highlight's too, so only the face's inside is searched.
    std::vector<POINT> marks;
    for (POINT p : bitmap.PixelsOf(GetSysColor(COLOR_INFOBK)))
        if (p.x > 1 && p.x < w - 2 && p.y > 1 && p.y < h - 2)
            marks.push_back(p);
    EXPECT_TRUE(SamePixels(marks, Marks(0))) << bitmap.Dump();
}

TEST(IconButton, AttachMakesEitherPushButtonOwnerDrawn) {
    for (DWORD type : {DWORD(BS_PUSHBUTTON), DWORD(BS_DEFPUSHBUTTON)}) {
        ButtonWindow window(75, 23, type);
        CIconButton button;
        ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        const LONG style = GetWindowLongW(window.Button(), GWL_STYLE);
        EXPECT_EQ(style & 0xF, BS_OWNERDRAW);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_EQ(CButton::FromHandle(window.Button()), &button);
    }
}

TEST(IconButton, KeepsNoCheckStateAndErasesNothing) {
    ButtonWindow window(75, 23);
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
    EXPECT_EQ(SendMessageW(window.Button(), BM_SETCHECK, BST_CHECKED, 0), 0);
    EXPECT_EQ(SendMessageW(window.Button(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(window.Button(), WM_USER + 0x100, 0, 0), 0);
    EXPECT_EQ(SendMessageW(window.Button(), WM_ERASEBKGND, 0, 0), TRUE);
}

int FontHeight(HGDIOBJ font) {
    LOGFONTW description{};
    GetObjectW(font, sizeof(description), &description);
    return description.lfHeight;
}

// A density change reloads the icons at their new size, places them on the current height
// and scales the caption font; a change back restores the stock font and the 16-pixel icon.
TEST(IconButton, SetIconPlacesTheIconFromTheWindowHeightAtItsDensity) {
    struct Case {
        int height;
        UINT dpi;
        RECT expected;
    };
    const int stockHeight = FontHeight(GetStockObject(DEFAULT_GUI_FONT));
    for (const Case& c : {Case{23, 96, {3, 3, 19, 19}}, Case{10, 96, {3, 0, 19, 16}},
                          Case{35, 144, {5, 5, 29, 29}}, Case{10, 144, {5, 0, 29, 24}}}) {
        ButtonWindow window(75, c.height);
        CIconButton button;
        ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        button.SetIcon(logonIcon, cancelIcon, 0);
        if (c.dpi != 96)
            button.OnDpiChanged(c.dpi);
        const RECT r = button.IconRect();
        EXPECT_TRUE(EqualRect(&r, &c.expected))
            << c.height << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        const int size = MulDiv(16, c.dpi, 96);
        EXPECT_EQ(IconSize(button.NormalIcon()).cx, size);
        EXPECT_EQ(IconSize(button.PressedIcon()).cx, size);
        if (c.dpi == 96)
            EXPECT_EQ(button.CaptionFont(), nullptr);
        else
            EXPECT_EQ(FontHeight(button.CaptionFont()), MulDiv(stockHeight, c.dpi, 96));

        button.OnDpiChanged(96);
        EXPECT_EQ(IconSize(button.NormalIcon()).cx, 16);
        EXPECT_EQ(button.IconRect().left, 3);
        EXPECT_EQ(button.CaptionFont(), nullptr);
    }
}

TEST(IconButton, MissingNormalIconLeavesNoIcons) {
    ButtonWindow window(75, 23);
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
    button.SetIcon(999, cancelIcon, helpIcon);
    EXPECT_EQ(button.NormalIcon(), nullptr);
    EXPECT_EQ(button.PressedIcon(), nullptr);
    EXPECT_EQ(button.HoverIcon(), nullptr);
}

TEST(IconButton, SharedIconIsDestroyedOnce) {
    DestroyIconCounter counter;
    HICON shared = nullptr;
    {
        ButtonWindow window(75, 23);
        CIconButton button;
        ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        button.SetIcon(logonIcon, 0, 0);
        shared = button.NormalIcon();
        ASSERT_NE(shared, nullptr);
        EXPECT_EQ(button.PressedIcon(), shared);
        EXPECT_EQ(button.HoverIcon(), shared);
    }
    EXPECT_EQ(destroyedIcons, (std::map<HICON, int>{{shared, 1}}));
}

TEST(IconButton, SetIconAgainDestroysEachEarlierIconOnce) {
    DestroyIconCounter counter;
    HICON first = nullptr, firstPressed = nullptr, firstHover = nullptr, second = nullptr;
    {
        ButtonWindow window(75, 23);
        CIconButton button;
        ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        button.SetIcon(logonIcon, cancelIcon, 999); // a hover icon that is missing
        first = button.NormalIcon(), firstPressed = button.PressedIcon();
        firstHover = button.HoverIcon();
        EXPECT_NE(firstPressed, first);
        EXPECT_EQ(firstHover, first);
        button.SetIcon(helpIcon, 0, 0);
        second = button.NormalIcon();
        EXPECT_EQ(destroyedIcons, (std::map<HICON, int>{{first, 1}, {firstPressed, 1}}));
    }
    EXPECT_EQ(destroyedIcons, (std::map<HICON, int>{{first, 1}, {firstPressed, 1}, {second, 1}}));
}

TEST(IconButton, RealDrawRequestsLeaveNoGdiObjectsBehind) {
    ButtonWindow window(75, 23);
    CountingIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
    button.SetIcon(logonIcon, 0, 0);
    // Hovering, so that every face draws its corner marks with a pen of its own.
    POINT cursor{5, 5};
    ClientToScreen(window.Button(), &cursor);
    SetCursorPos(cursor.x, cursor.y);
    SendMessageW(window.Button(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(button.Hovering());
    auto drawRequest = [&] {
        RedrawWindow(window.Button(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    drawRequest();
    const int afterOne = CountGdiObjects();
    for (int i = 0; i < 100; ++i)
        drawRequest();
    EXPECT_GE(button.draws, 101);
    EXPECT_EQ(CountGdiObjects(), afterOne);
}

// Mouse input sent straight to the real control, positions in its client coordinates.
class IconButtonMouse : public testing::Test {
protected:
    IconButtonMouse() {
        EXPECT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        clicks = 0;
    }
    // The cursor goes there too: each draw request checks the pushed state against it.
    void Send(UINT message, int x, int y) {
        POINT cursor{x, y};
        ClientToScreen(window.Button(), &cursor);
        SetCursorPos(cursor.x, cursor.y);
        SendMessageW(window.Button(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(x, y));
    }
    bool Pushed() { return SendMessageW(window.Button(), BM_GETSTATE, 0, 0) & BST_PUSHED; }

    ButtonWindow window{75, 23};
    CIconButton button;
};

TEST_F(IconButtonMouse, DraggingOffPopsTheButtonAndReleasingThereDoesNotClick) {
    Send(WM_LBUTTONDOWN, 5, 5);
    EXPECT_TRUE(button.MouseDown());
    EXPECT_EQ(GetCapture(), window.Button());
    EXPECT_TRUE(Pushed());
    Send(WM_MOUSEMOVE, 5, 60);
    EXPECT_FALSE(Pushed());
    Send(WM_MOUSEMOVE, 6, 6);
    EXPECT_TRUE(Pushed());
    Send(WM_MOUSEMOVE, 5, 60);
    Send(WM_LBUTTONUP, 5, 60);
    EXPECT_FALSE(button.MouseDown());
    EXPECT_EQ(clicks, 0);
}

TEST_F(IconButtonMouse, DoubleClickGivesTwoClicks) {
    Send(WM_LBUTTONDOWN, 5, 5);
    Send(WM_LBUTTONUP, 5, 5);
    Send(WM_LBUTTONDBLCLK, 5, 5);
    Send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks, 2);
}

TEST_F(IconButtonMouse, LosingTheFocusWhilePressedReleasesTheCaptureWithoutAClick) {
    Send(WM_LBUTTONDOWN, 5, 5);
    SetFocus(window.Parent());
    EXPECT_FALSE(button.MouseDown());
    EXPECT_NE(GetCapture(), window.Button());
    Send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks, 0);
}

// The control's own procedure, as it is before any button object binds to it.
WNDPROC StandardButtonProc(HWND control) {
    return reinterpret_cast<WNDPROC>(GetClassLongPtrW(control, GCLP_WNDPROC));
}

TEST(Button, BindsOneObjectAndHandsTheControlBackWhenTheObjectGoesFirst) {
    ButtonWindow window(75, 23);
    {
        CIconButton button;
        ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
        EXPECT_EQ(CButton::FromHandle(window.Button()), &button);
        EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window.Button(), GWLP_WNDPROC)),
                  StandardButtonProc(window.Button()));
        CButton second;
        EXPECT_FALSE(second.SubclassWindow(window.Button()));
        EXPECT_EQ(CButton::FromHandle(window.Button()), &button);
    }
    EXPECT_EQ(CButton::FromHandle(window.Button()), nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window.Button(), GWLP_WNDPROC)),
              StandardButtonProc(window.Button()));
    // The standard control answers on its own again, and takes a new object.
    SendMessageW(window.Button(), BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessageW(window.Button(), BM_GETSTATE, 0, 0) & BST_PUSHED);
    CButton again;
    EXPECT_TRUE(again.SubclassWindow(window.Button()));
}

TEST(IconButton, UnhooksWhenTheWindowGoesFirst) {
    CIconButton button;
    {
        ButtonWindow window(75, 23);
        ASSERT_TRUE(button.SubclassDlgItem(buttonId, window.Parent()));
    }
    EXPECT_EQ(button.GetSafeHwnd(), nullptr);
}

} // namespace

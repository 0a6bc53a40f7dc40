// Drives tarnftp.exe from outside, through window messages only, as a test would click
// and type: one command per run, result on standard output as UTF-8, exit code 0 when
// the command succeeded.
//
//   list                               visible top-level windows: handle, class, title
//   wait <title> [ms]                  until a visible top-level window has that title
//   gone <title> [ms]                  until no visible window has that title
//   close <title>                      WM_CLOSE to the window
//   text <title> <id>                  the text of a control (id 65535: a box's message)
//   type <title> <id> <text>           sets an edit box's text, as typing would
//   click <title> <id>                 clicks a button (BM_CLICK)
//   answer <title> <id>                clicks a button and waits until that window is gone
//                                      (a box that follows may carry the same title)
//   checked <title> <id>               prints 1 or 0
//   focus <title> <id>                 gives a control the focus
//   typehex <title> <id> <utf-8 hex>   as type, the text given as hexadecimal UTF-8 bytes
//   screenshot <title> <file.bmp> [id] the window's (or a control's client area's) pixels
//                                      as a 24-bit bitmap, read from the screen
//   rect <title> <id>                  a control's client rectangle in screen pixels
//   enable <title> <id> <0|1>          EnableWindow on a control
//   point <title> <id>                 the mouse moves to the middle of a control
//   pointat <x> <y>                    the mouse moves to a screen position
//   button <down|up>                   the left mouse button, where the mouse is
//   syscolor <index>                   GetSysColor as "r g b"
//   boxicon <title>                    a message box's icon: exclamation, stop, none, other
//   dpichanged <title> <dpi>           WM_DPICHANGED to the window: now at that density, its
//                                      size suggested as it is
//   answers <title> <ms>               whether the window answers a message within ms: 0 if so
//   enabled <title> <id>               prints 1 or 0
//   escape <title>                     Escape pressed on the control of the window that has
//                                      the focus; fails when none of its controls has it
//   fits <title> <exe>                 whether each control's caption fits it: the window's
//                                      texts measured in a copy of the exe's dialog template
//                                      made here, in its fonts at this screen's density; one
//                                      "caption TAB width TAB room" line a control
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

struct Search {
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t title[512];
    if (IsWindowVisible(window) && GetWindowTextW(window, title, 512) >= 0 &&
        std::wcscmp(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(const wchar_t* title) {
    Search search{title, nullptr};
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A window that has just come back from a long blocking call may be taken as hung for a
// moment: wait until it answers before reading or changing anything.
bool WaitResponsive(HWND window) {
    DWORD_PTR result;
    for (int i = 0; i < 100; ++i) {
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result))
            return true;
        Sleep(50);
    }
    return false;
}

HWND WaitFor(const wchar_t* title, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindTopLevel(title)) {
            if (WaitResponsive(window))
                return window;
        }
        if (GetTickCount() - start > milliseconds)
            return nullptr;
        Sleep(50);
    }
}

BOOL CALLBACK ListWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t title[512] = {}, className[256] = {};
    GetWindowTextW(window, title, 512);
    GetClassNameW(window, className, 256);
    wchar_t line[900];
    std::swprintf(line, 900, L"%p\t%ls\t%ls\n", static_cast<void*>(window), className, title);
    Print(line);
    return TRUE;
}

std::wstring ControlText(HWND control) {
    LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(length) + 1, L'\0');
    LRESULT copied = SendMessageW(control, WM_GETTEXT, length + 1, LPARAM(text.data()));
    text.resize(size_t(copied));
    return text;
}

RECT ClientRectOnScreen(HWND control) {
    RECT rect;
    GetClientRect(control, &rect);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Input goes through the system's input queue, as a real mouse's would, so the window
// under the cursor gets its moves, hover tracking and capture the usual way.
bool SendMouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = LONG((x * 65535LL + GetSystemMetrics(SM_CXSCREEN) / 2) /
                           (GetSystemMetrics(SM_CXSCREEN) - 1));
        input.mi.dy = LONG((y * 65535LL + GetSystemMetrics(SM_CYSCREEN) / 2) /
                           (GetSystemMetrics(SM_CYSCREEN) - 1));
    }
    bool sent = SendInput(1, &input, sizeof input) == 1;
    Sleep(200); // let the target handle the input and repaint before the next command
    return sent;
}

bool MoveMouse(LONG x, LONG y) {
    return SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

// The 32-bit pixels of a width by height area: of the screen at (x, y), or, with an icon,
// of that icon drawn on the given background colour.
std::vector<DWORD> Pixels(int x, int y, int width, int height, HICON icon, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (icon) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT area = {0, 0, width, height};
        FillRect(memory, &area, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    }
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits),
                              static_cast<DWORD*>(bits) + size_t(width) * size_t(height));
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Icon handles belong to the process that loaded them, so a box's icon is told by its
// pixels on the screen, against the system icons drawn here on the same background.
const wchar_t* BoxIconName(HWND box) {
    HWND iconControl = GetDlgItem(box, 1088);
    if (!iconControl || !IsWindowVisible(iconControl) ||
        !SendMessageW(iconControl, STM_GETICON, 0, 0))
        return L"none";
    RECT rect = ClientRectOnScreen(iconControl);
    int size = GetSystemMetrics(SM_CXICON);
    std::vector<DWORD> shown = Pixels(rect.left, rect.top, size, size, nullptr, 0);
    DWORD corner = shown[0];
    COLORREF background = RGB(GetBValue(corner), GetGValue(corner), GetRValue(corner));
    if (shown == Pixels(0, 0, size, size, LoadIconW(nullptr, IDI_EXCLAMATION), background))
        return L"exclamation";
    if (shown == Pixels(0, 0, size, size, LoadIconW(nullptr, IDI_HAND), background))
        return L"stop";
    return L"other";
}

std::wstring FromHexUtf8(const wchar_t* hex) {
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        wchar_t pair[3] = {hex[i], hex[i + 1], 0};
        bytes += char(std::wcstol(pair, nullptr, 16));
    }
    int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), text.data(), size);
    return text;
}

bool Screenshot(const RECT& rect, const wchar_t* path) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = DWORD((width * 3 + 3) & ~3), size = stride * DWORD(height);
    BITMAPFILEHEADER file = {0x4D42, DWORD(sizeof file + sizeof info.bmiHeader + size), 0, 0,
                             DWORD(sizeof file + sizeof info.bmiHeader)};
    bool written = false;
    if (FILE* out = _wfopen(path, L"wb")) {
        written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                  std::fwrite(bits, 1, size, out) == size;
        std::fclose(out);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

// Which process a window belongs to and whether that process is still running, for the
// message of a test that waited in vain for the window to go.
std::wstring DescribeOwner(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    DWORD exitCode = 0;
    bool running = false;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
        running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
        CloseHandle(process);
    }
    wchar_t line[160];
    std::swprintf(line, 160, L"window %p of process %lu, %ls (exit code %lu)\n",
                  static_cast<void*>(window), processId, running ? L"running" : L"ended", exitCode);
    return line;
}

// Posts a click to the control. A post that fails has posted nothing, so it is tried again
// for a while, on the window found anew, before the failure and its reason are printed.
bool PostClick(const wchar_t* title, int id, HWND control) {
    DWORD start = GetTickCount();
    for (;;) {
        if (PostMessageW(control, BM_CLICK, 0, 0))
            return true;
        const DWORD error = GetLastError();
        if (GetTickCount() - start > 5000) {
            wchar_t line[120];
            std::swprintf(line, 120, L"click not posted: error %lu, control %ls\n", error,
                          IsWindow(control) ? L"exists" : L"gone");
            return Print(line), false;
        }
        Sleep(100);
        if (HWND window = FindTopLevel(title))
            control = GetDlgItem(window, id);
    }
}

// Each caption against its room: a label's whole width, a check box's beside its mark, a
// group's title between the frame's corners, an icon button's beside its margins, caption gaps
// and icon (3, 2 and 16 pixels at 96 dpi, as it paints them, in the desktop's control font).
int Fits(HWND window, const wchar_t* exePath) {
    HMODULE exe = LoadLibraryExW(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = exe ? FindResourceW(exe, MAKEINTRESOURCEW(130), MAKEINTRESOURCEW(5)) : nullptr;
    HWND copy = found ? CreateDialogIndirectParamW(
                            GetModuleHandleW(nullptr),
                            static_cast<DLGTEMPLATE*>(LockResource(LoadResource(exe, found))),
                            nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0)
                      : nullptr;
    if (!copy)
        return Print(L"no window from the exe's dialog template\n"), 1;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    int failures = 0;
    HWND real = GetWindow(window, GW_CHILD);
    for (HWND made = GetWindow(copy, GW_CHILD); made && real;
         made = GetWindow(made, GW_HWNDNEXT), real = GetWindow(real, GW_HWNDNEXT)) {
        const std::wstring text = ControlText(real);
        wchar_t className[16] = {};
        GetClassNameW(made, className, 16);
        const bool button = _wcsicmp(className, L"Button") == 0;
        const LONG type = GetWindowLongW(made, GWL_STYLE) & BS_TYPEMASK;
        const bool iconButton = button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
        if (text.empty() || _wcsicmp(className, L"Edit") == 0)
            continue;
        RECT client;
        GetClientRect(made, &client);
        const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
        const int margin = !button               ? 0
                           : type == BS_GROUPBOX ? scaled(16)
                           : iconButton          ? 2 * (scaled(3) + scaled(2)) + scaled(16)
                                                 : scaled(17);
        const int room = client.right - margin;
        HGDIOBJ previous = SelectObject(
            screen, iconButton ? GetStockObject(DEFAULT_GUI_FONT)
                               : reinterpret_cast<HGDIOBJ>(SendMessageW(made, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(screen, text.c_str(), int(text.size()), &size);
        SelectObject(screen, previous);
        wchar_t line[300];
        std::swprintf(line, 300, L"%ls\t%ld\t%d\n", text.c_str(), size.cx, room);
        Print(line);
        failures += size.cx > room;
    }
    ReleaseDC(nullptr, screen);
    DestroyWindow(copy);
    return failures == 0 ? 0 : 1;
}

int Run(const std::vector<std::wstring>& args) {
    auto arg = [&](size_t i) { return i < args.size() ? args[i].c_str() : L""; };
    auto number = [&](size_t i, long fallback) {
        return i < args.size() ? std::wcstol(args[i].c_str(), nullptr, 10) : fallback;
    };
    const std::wstring command = arg(0);
    if (command == L"list")
        return EnumWindows(ListWindow, 0), 0;
    if (command == L"pointat")
        return MoveMouse(number(1, 0), number(2, 0)) ? 0 : 1;
    if (command == L"button")
        return SendMouse(std::wstring(arg(1)) == L"down" ? MOUSEEVENTF_LEFTDOWN
                                                         : MOUSEEVENTF_LEFTUP)
                   ? 0
                   : 1;
    if (command == L"syscolor") {
        COLORREF colour = GetSysColor(int(number(1, 0)));
        wchar_t line[40];
        std::swprintf(line, 40, L"%u %u %u", GetRValue(colour), GetGValue(colour),
                      GetBValue(colour));
        return Print(line), 0;
    }
    if (command == L"gone") {
        DWORD start = GetTickCount();
        while (HWND window = FindTopLevel(arg(1))) {
            if (GetTickCount() - start > DWORD(number(2, 10000)))
                return Print(DescribeOwner(window)), 1;
            Sleep(50);
        }
        return 0;
    }
    if (command == L"answers") {
        // Found without waiting for it to answer: whether it answers is what is asked.
        HWND window = FindTopLevel(arg(1));
        DWORD_PTR result;
        if (window &&
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, UINT(number(2, 1000)), &result))
            return 0;
        return Print(window ? L"no answer\n" : L"no window\n"), 1;
    }
    HWND window = WaitFor(arg(1), command == L"wait" ? DWORD(number(2, 20000)) : 5000);
    if (!window) {
        Print(L"no window titled " + std::wstring(arg(1)) + L"\n");
        return 2;
    }
    HWND control = GetDlgItem(window, int(number(2, 0)));
    if (command == L"wait")
        return 0;
    if (command == L"close")
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"screenshot") {
        RECT rect;
        if (args.size() > 3) {
            HWND shot = GetDlgItem(window, int(number(3, 0)));
            if (!shot)
                return 3;
            rect = ClientRectOnScreen(shot);
        } else {
            GetWindowRect(window, &rect);
        }
        return Screenshot(rect, arg(2)) ? 0 : 1;
    }
    if (command == L"fits")
        return Fits(window, arg(2));
    if (command == L"boxicon")
        return Print(BoxIconName(window)), 0;
    if (command == L"dpichanged") {
        const WORD dpi = WORD(number(2, 96));
        RECT rect;
        GetWindowRect(window, &rect);
        return SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&rect)), Sleep(200),
               0;
    }
    if (command == L"escape") {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
            !info.hwndFocus || !IsChild(window, info.hwndFocus))
            return Print(L"no control has the focus\n"), 1;
        return PostMessageW(info.hwndFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001) ? 0 : 1;
    }
    if (!control) {
        Print(L"no control " + std::wstring(arg(2)) + L"\n");
        return 3;
    }
    if (command == L"text")
        return Print(ControlText(control)), 0;
    if (command == L"type")
        return SendMessageW(control, WM_SETTEXT, 0, LPARAM(arg(3))) ? 0 : 1;
    if (command == L"typehex")
        return SendMessageW(control, WM_SETTEXT, 0, LPARAM(FromHexUtf8(arg(3)).c_str())) ? 0 : 1;
    if (command == L"rect") {
        RECT rect = ClientRectOnScreen(control);
        wchar_t line[80];
        std::swprintf(line, 80, L"%ld %ld %ld %ld", rect.left, rect.top, rect.right, rect.bottom);
        return Print(line), 0;
    }
    if (command == L"enable")
        return EnableWindow(control, number(3, 1) != 0), Sleep(200), 0;
    if (command == L"point") {
        RECT rect = ClientRectOnScreen(control);
        return MoveMouse((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2) ? 0 : 1;
    }
    if (command == L"click")
        return PostClick(arg(1), int(number(2, 0)), control) ? 0 : 1;
    if (command == L"answer") {
        // A button's click is lost when its box is not yet the active window, so a box still
        // there after a while is sent the button's command itself, as the click would send it.
        if (!PostMessageW(control, BM_CLICK, 0, 0))
            return 1;
        const WPARAM clicked = MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
        for (DWORD start = GetTickCount(), next = 2000; IsWindow(window); Sleep(50)) {
            const DWORD waited = GetTickCount() - start;
            if (waited > 10000)
                return Print(L"the box is still shown\n"), 1;
            if (waited > next) {
                PostMessageW(window, WM_COMMAND, clicked, LPARAM(control));
                next += 2000;
            }
        }
        return 0;
    }
    if (command == L"enabled")
        return Print(IsWindowEnabled(control) ? L"1" : L"0"), 0;
    if (command == L"checked")
        return Print(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0"), 0;
    if (command == L"focus")
        return SetForegroundWindow(window), SendMessageW(window, WM_NEXTDLGCTL, WPARAM(control), 1),
               Sleep(200), 0;
    Print(L"unknown command\n");
    return 64;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    return Run(args);
}

// tarnftp.exe's start-up with nothing of its own: the same logon template, icons and
// manifest (the program's resources, linked whole), and before the window shows the same
// system calls the program makes, in much the same order, written straight against the API.
// Start-up times of tarnftp.exe are compared against this program, and each step can be
// switched on alone, so that the benchmark can tell what each costs:
//
//   startup_twin.exe [step]...     (no step named: all of them; "none": none)
//
//   ini       the executable's path, Host1 to Host3 of tarnftp.ini beside it
//   registry  "Use PASV" written under the current user's FTP settings
//   folder    the application-data folder asked of the shell, made when missing
//   saved     settings.bin read from under it (needs folder)
//   icons     the window's icon, and each icon button's icon loaded at the window's density
//   subclass  the five buttons hooked, the four icon buttons made owner-drawn at the density
//   window    the DLL search restricted, the boxes filled, the taskbar style, the centring
//   names     the edit boxes' accessible names, through COM, before the window shows
//
// With TARN_TWIN_TRACE naming a file, each run appends one line to it when the window closes:
// "TWIN" and, for each step that ran and for the moments around them, "<name>=<ms>", the
// milliseconds from the process's creation to that step's end.
#include "framework/win/ComApartment.h"
#include "framework/win/SystemLibrary.h"
#include "res/resource.h"

#include <windows.h>

// Defines the GUIDs that oleacc.h declares, in this file, so no GUID library is linked.
#include <initguid.h>

#include <oleacc.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The steps; each is switched on by its bit, 1 << step.
enum Step : unsigned { ini, registry, folder, saved, icons, subclass, window, names };
constexpr const wchar_t* stepNames[] = {L"ini",   L"registry", L"folder", L"saved",
                                        L"icons", L"subclass", L"window", L"names"};

constexpr UINT nameBoxesMessage = WM_APP + 1;
constexpr int iconSize = 16;
constexpr int iconButtons[] = {IDCANCEL, IDOK, IDC_SIGNUP, ID_HELP};
constexpr unsigned buttonIcons[] = {IDI_CANCEL, IDI_LOGON, IDI_HELP, IDI_HELP};
constexpr int hookedButtons[] = {IDC_REMEMBER, IDCANCEL, IDOK, IDC_SIGNUP, ID_HELP};
constexpr wchar_t hookProperty[] = L"StartupTwin.Button";

unsigned steps = 0;
std::wstring trace;
std::wstring appDataFolder;
HICON applicationIcon = nullptr;
std::vector<HICON> loadedIcons;
IAccPropServices* accessibility = nullptr;

bool On(Step step) {
    return (steps >> step & 1) != 0;
}

unsigned long long Ticks(FILETIME time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Milliseconds since the process was created, by the clock that stamped its creation.
double SinceCreation() {
    FILETIME created, ended, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user))
        return 0;
    GetSystemTimePreciseAsFileTime(&now);
    return double(Ticks(now) - Ticks(created)) / 10000.0;
}

void Stamp(const wchar_t* name) {
    if (!trace.empty())
        trace += L" " + std::wstring(name) + L"=" + std::to_wstring(SinceCreation());
}

void WriteTrace() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"TARN_TWIN_TRACE", path, MAX_PATH);
    if (trace.empty() || length == 0 || length >= MAX_PATH)
        return;
    if (FILE* file = _wfopen(path, L"a")) {
        std::fwprintf(file, L"%ls\n", trace.c_str());
        std::fclose(file);
    }
    trace.clear();
}

// Runs the step when it is switched on, and stamps its end with its name.
template <typename Work> void Run(Step step, Work work) {
    if (On(step)) {
        work();
        Stamp(stepNames[step]);
    }
}

unsigned StepsFromArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    unsigned chosen = count > 1 ? 0 : ~0u;
    for (int i = 1; i < count; ++i) {
        for (unsigned step = 0; step < std::size(stepNames); ++step) {
            if (std::wcscmp(arguments[i], stepNames[step]) == 0)
                chosen |= 1u << step;
        }
    }
    LocalFree(arguments);
    return chosen;
}

std::wstring ExecutablePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

void ReadProfile() {
    const std::wstring executable = ExecutablePath();
    const std::wstring profile = executable.substr(0, executable.rfind(L'\\')) + L"\\tarnftp.ini";
    std::vector<wchar_t> buffer(4096);
    for (const wchar_t* key : {L"Host1", L"Host2", L"Host3"})
        GetPrivateProfileStringW(L"RedirectHosts", key, L"", buffer.data(), 4096, profile.c_str());
}

void WriteRegistryValue() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Ftp", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    static const wchar_t yes[] = L"yes";
    RegSetValueExW(key, L"Use PASV", 0, REG_SZ, reinterpret_cast<const BYTE*>(yes), sizeof yes);
    RegCloseKey(key);
}

void FindAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, TRUE))
        appDataFolder = path;
}

void ReadSavedFile() {
    if (appDataFolder.empty())
        return;
    const std::wstring file = appDataFolder + L"\\tarngroupFTP\\settings.bin";
    FILE* saved = _wfopen(file.c_str(), L"rb");
    if (!saved)
        return;
    char chunk[4096];
    while (std::fread(chunk, 1, sizeof chunk, saved) > 0) {
    }
    std::fclose(saved);
}

// The density queries an icon button makes: the window's, then the system's for its font.
UINT Density(HWND control) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpiForWindow ? getDpiForWindow(control) : 0;
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi ? dpi : UINT(systemDpi);
}

LRESULT CALLBACK ButtonHook(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto standard = reinterpret_cast<WNDPROC>(GetPropW(control, hookProperty));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(standard));
        RemovePropW(control, hookProperty);
    }
    return CallWindowProcW(standard, control, message, wParam, lParam);
}

void HookButtons(HWND dialog) {
    for (int id : hookedButtons) {
        HWND control = GetDlgItem(dialog, id);
        if (id != IDC_REMEMBER) {
            SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | BS_OWNERDRAW);
            Density(control);
        }
        const LONG_PTR standard = GetWindowLongPtrW(control, GWLP_WNDPROC);
        SetPropW(control, hookProperty, reinterpret_cast<HANDLE>(standard));
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonHook));
    }
}

void LoadIcons(HWND dialog) {
    Density(dialog);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(applicationIcon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(applicationIcon));
    Stamp(L"seticon");
    for (size_t i = 0; i < std::size(iconButtons); ++i) {
        HWND control = GetDlgItem(dialog, iconButtons[i]);
        Density(control);
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(buttonIcons[i]), IMAGE_ICON,
                                                   iconSize, iconSize, 0));
        ICONINFO info{};
        if (icon && GetIconInfo(icon, &info)) {
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
        }
        RECT rect;
        GetWindowRect(control, &rect);
        loadedIcons.push_back(icon);
    }
}

void ShapeWindow(HWND dialog) {
    SetWindowTextW(GetDlgItem(dialog, IDC_USERNAME), L"");
    SetWindowTextW(GetDlgItem(dialog, IDC_PASSWORD), L"");
    SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                      GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    RECT rect;
    GetWindowRect(dialog, &rect);
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    SetWindowPos(dialog, nullptr,
                 area.left + (area.right - area.left - (rect.right - rect.left)) / 2,
                 area.top + (area.bottom - area.top - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void NameBoxes(HWND dialog) {
    static const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    if (!oleacc || FAILED(CreateComInstance(CLSID_AccPropServices, IID_IAccPropServices,
                                            reinterpret_cast<void**>(&accessibility))))
        return;
    accessibility->SetHwndPropStr(GetDlgItem(dialog, IDC_USERNAME), OBJID_CLIENT, CHILDID_SELF,
                                  PROPID_ACC_NAME, L"Username");
    accessibility->SetHwndPropStr(GetDlgItem(dialog, IDC_PASSWORD), OBJID_CLIENT, CHILDID_SELF,
                                  PROPID_ACC_NAME, L"Password");
}

INT_PTR CALLBACK TwinProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Stamp(L"dialog");
        Run(subclass, [dialog] { HookButtons(dialog); });
        Run(icons, [dialog] { LoadIcons(dialog); });
        Run(saved, ReadSavedFile);
        Run(window, [dialog] { ShapeWindow(dialog); });
        if (On(names))
            PostMessageW(dialog, nameBoxesMessage, 0, 0);
        return TRUE;
    case nameBoxesMessage:
        NameBoxes(dialog);
        Stamp(stepNames[names]);
        return TRUE;
    case WM_SHOWWINDOW:
        // Sent as the dialog manager shows the window, once its queue has run dry.
        if (wParam)
            Stamp(L"shown");
        return FALSE;
    case WM_COMMAND:
        // Logon, Cancel, Esc and the close box end the run.
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (GetEnvironmentVariableW(L"TARN_TWIN_TRACE", nullptr, 0) > 0) {
        trace = L"TWIN";
        Stamp(L"main");
    }
    steps = StepsFromArguments();
    if (On(window))
        RestrictDllSearchToSystemFolder();
    Run(ini, ReadProfile);
    Run(registry, WriteRegistryValue);
    Run(folder, FindAppDataFolder);
    if (On(icons)) {
        // The first drawing object of the process: it brings up the display driver.
        applicationIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
        Stamp(L"appicon");
    }
    const INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_LOGON), nullptr, TwinProc, 0);
    // Written once the window has closed, so that the file costs the timed start nothing.
    WriteTrace();
    if (accessibility)
        accessibility->Release();
    for (HICON icon : loadedIcons)
        DestroyIcon(icon);
    return int(result);
}

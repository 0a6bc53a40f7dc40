// The least a program does to log on the way tarnftp.exe does, and nothing else: a dialog
// with the two boxes; at the Logon click WinInet is loaded from the system folder, the
// redirect call and the logon call are posted (each in a session, connection and request of
// its own, with the program's flags and time-outs) and their answers read to the end; then
// the explorer is handed the ftp location through the shell, in a COM apartment entered
// once the window showed, as tarnftp.exe's is. The answers are not read for anything: the
// hosts come from TARN_BENCH_REDIRECT_HOST and TARN_BENCH_WEBAPP_HOST, the web application's
// path (before /api/...) from TARN_BENCH_WEBAPP_PATH. Logon times of tarnftp.exe are compared
// against this program.
#include "BaselineDialog.h"
#include "framework/win/ComApartment.h"
#include "framework/win/SystemLibrary.h"
#include "res/resource.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT enterComMessage = WM_APP + 1;
constexpr DWORD_PTR context = 1;
constexpr DWORD suppressCookiePersist = 3;
const wchar_t formHeader[] = L"Content-Type: application/x-www-form-urlencoded\r\n";

struct WinInetFunctions {
    decltype(&InternetAttemptConnect) attemptConnect;
    decltype(&InternetOpenW) open;
    decltype(&InternetConnectW) connect;
    decltype(&HttpOpenRequestW) openRequest;
    decltype(&HttpSendRequestW) sendRequest;
    decltype(&InternetReadFile) readFile;
    decltype(&InternetSetOptionW) setOption;
    decltype(&InternetCloseHandle) closeHandle;
};

template <typename Function> bool Bind(HMODULE library, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return slot != nullptr;
}

// Loaded at the first click and kept, as tarnftp.exe keeps it.
const WinInetFunctions* WinInet() {
    static WinInetFunctions api{};
    static bool loaded = false;
    if (loaded)
        return &api;
    HMODULE library = LoadSystemLibrary(L"wininet.dll");
    loaded = library && Bind(library, "InternetAttemptConnect", api.attemptConnect) &&
             Bind(library, "InternetOpenW", api.open) &&
             Bind(library, "InternetConnectW", api.connect) &&
             Bind(library, "HttpOpenRequestW", api.openRequest) &&
             Bind(library, "HttpSendRequestW", api.sendRequest) &&
             Bind(library, "InternetReadFile", api.readFile) &&
             Bind(library, "InternetSetOptionW", api.setOption) &&
             Bind(library, "InternetCloseHandle", api.closeHandle);
    return loaded ? &api : nullptr;
}

// Closes an internet handle through the loaded library.
class InternetHandle {
public:
    InternetHandle(const WinInetFunctions& api, HINTERNET handle) : api(api), handle(handle) {}
    ~InternetHandle() {
        if (handle)
            api.closeHandle(handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle; }

private:
    const WinInetFunctions& api;
    HINTERNET handle;
};

void SetTimeouts(const WinInetFunctions& api, HINTERNET handle) {
    for (auto [option, milliseconds] :
         {std::pair<DWORD, DWORD>{INTERNET_OPTION_CONNECT_TIMEOUT, 60'000},
          {INTERNET_OPTION_SEND_TIMEOUT, 30'000},
          {INTERNET_OPTION_RECEIVE_TIMEOUT, 30'000}})
        api.setOption(handle, option, &milliseconds, sizeof milliseconds);
}

// One exchange: a POST of form to object on host; true when the answer was read to its end.
bool Post(const WinInetFunctions& api, const std::wstring& host, const std::wstring& object,
          std::string form) {
    if (api.attemptConnect(0) != ERROR_SUCCESS)
        return false;
    InternetHandle session(
        api, api.open(L"TarnUploader2.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.get())
        return false;
    SetTimeouts(api, session.get());
    DWORD suppress = suppressCookiePersist;
    api.setOption(session.get(), INTERNET_OPTION_SUPPRESS_BEHAVIOR, &suppress, sizeof suppress);
    InternetHandle connection(
        api, api.connect(session.get(), host.c_str(), INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr,
                         INTERNET_SERVICE_HTTP, INTERNET_FLAG_RELOAD, context));
    if (!connection.get())
        return false;
    InternetHandle request(api, api.openRequest(connection.get(), L"POST", object.c_str(),
                                                L"HTTP/1.0", nullptr, nullptr,
                                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE,
                                                context));
    if (!request.get())
        return false;
    SetTimeouts(api, request.get());
    if (!api.sendRequest(request.get(), formHeader, DWORD(std::size(formHeader) - 1), form.data(),
                         DWORD(form.size())))
        return false;
    std::vector<char> answer(10240);
    for (DWORD delivered = 1; delivered > 0;) {
        if (!api.readFile(request.get(), answer.data(), DWORD(answer.size()), &delivered))
            return false;
    }
    return true;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[256] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length > 0 && length < 256 ? std::wstring(value, length) : std::wstring();
}

std::wstring BoxText(HWND dialog, int id) {
    wchar_t text[256] = {};
    return std::wstring(text, GetDlgItemTextW(dialog, id, text, 256));
}

// The benchmark's credentials are test values of plain ASCII letters and digits: they go into
// the form and the location as they are, and need no wiping.
std::string Ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

void LogOn(HWND dialog) {
    const std::wstring user = BoxText(dialog, IDC_USERNAME);
    const std::wstring password = BoxText(dialog, IDC_PASSWORD);
    const std::wstring webApp = Environment(L"TARN_BENCH_WEBAPP_HOST");
    const WinInetFunctions* api = WinInet();
    if (!api ||
        !Post(*api, Environment(L"TARN_BENCH_REDIRECT_HOST"), L"/api/Redirect.aspx",
              "rand=12345") ||
        !Post(*api, webApp, Environment(L"TARN_BENCH_WEBAPP_PATH") + L"/api/secure/ApiLogon.aspx",
              "username=" + Ascii(user) + "&password=" + Ascii(password) + "&type=ftp&rand=12345"))
        return;

    wchar_t windows[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, windows, CSIDL_WINDOWS, TRUE);
    const std::wstring explorer = std::wstring(windows) + L"\\explorer.exe";
    const std::wstring location = L"ftp://" + user + L":" + password + L"@" + webApp;
    EnterComApartment();
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof request;
    request.lpVerb = L"open";
    request.lpFile = explorer.c_str();
    request.lpParameters = location.c_str();
    request.nShow = SW_SHOW;
    ShellExecuteExW(&request);
}

INT_PTR CALLBACK BareLogonProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        PostMessageW(dialog, enterComMessage, 0, 0);
        return TRUE;
    case enterComMessage:
        EnterComApartment();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
            return FALSE;
        // The window closes when the logon ends, whether or not it went through.
        if (LOWORD(wParam) == IDOK)
            LogOn(dialog);
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    RestrictDllSearchToSystemFolder();
    return int(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BASELINE), nullptr, BareLogonProc, 0));
}

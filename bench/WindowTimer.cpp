// Times programs from outside, polling every millisecond, and writes one line per
// measurement to a file (never to standard output, which Wine's helpers may hold open).
//
//   window_timer startup <rounds> <out> <title> <exe> [<title> <exe>]...
//       Each round starts every exe in turn (an <exe> of the form "<path>|<arguments>" is
//       started with those arguments), times process start to a visible top-level
//       window of that process with that title, then closes it and waits for the exit.
//       "STARTUP <target> <ms> <peak working set bytes when the window showed>"
//   window_timer logon <rounds> <out> <user> <password> <log> <expected> <title> <exe>
//                [<title> <exe>]...
//       Each round starts every exe in turn, fills the user name and password boxes and
//       clicks Logon; the stand-in explorer writes <log> (see HandoverRecorder.cpp). Times
//       the click to the explorer's process creation and to its log appearing, and keeps the
//       highest peak working set the target reported meanwhile.
//       "LOGON <target> <handover ms> <log ms> <peak bytes> <1 when the log holds <expected>>"
//       "FAILED <round> <what>" when a round did not get that far, "UNEXPECTED <round>
//       <what>" after a LOGON line whose log lacks <expected> (what it held instead, less
//       the command line, which carries the password).
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int userNameBox = 1012;
constexpr int passwordBox = 1013;
constexpr DWORD windowTimeout = 30000;
constexpr DWORD logonTimeout = 30000;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

unsigned long long SystemTicks() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::string Utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

SIZE_T PeakWorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize
                                                                     : 0;
}

// A started program, ended on destruction if it has not ended by itself.
class Target {
public:
    explicit Target(const std::wstring& exeAndArguments) {
        const size_t bar = exeAndArguments.find(L'|');
        const std::wstring exe = exeAndArguments.substr(0, bar);
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (bar != std::wstring::npos)
            commandLine += L" " + exeAndArguments.substr(bar + 1);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info) != FALSE;
    }
    ~Target() {
        if (!started)
            return;
        if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 10000);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    bool Started() const { return started; }
    HANDLE Process() const { return info.hProcess; }
    bool Exited() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; }

    // This process's visible top-level window titled title, or null.
    HWND VisibleWindow(const wchar_t* title) const {
        HWND window = FindWindowW(nullptr, title);
        DWORD owner = 0;
        if (window)
            GetWindowThreadProcessId(window, &owner);
        return window && owner == info.dwProcessId && IsWindowVisible(window) ? window : nullptr;
    }

    HWND WaitForWindow(const wchar_t* title) const {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < windowTimeout && !Exited()) {
            if (HWND window = VisibleWindow(title))
                return window;
            Sleep(1);
        }
        return nullptr;
    }

private:
    PROCESS_INFORMATION info{};
    bool started = false;
};

// Right after showing, a window may not answer sent messages for a moment.
bool WaitResponsive(HWND window) {
    DWORD_PTR result;
    for (int i = 0; i < 100; ++i) {
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result))
            return true;
        Sleep(10);
    }
    return false;
}

int TimeStartups(FILE* out, int rounds, const std::vector<std::wstring>& pairs) {
    for (int round = 0; round < rounds; ++round) {
        for (size_t target = 0; target + 1 < pairs.size(); target += 2) {
            const LARGE_INTEGER start = Now();
            Target program(pairs[target + 1]);
            HWND window =
                program.Started() ? program.WaitForWindow(pairs[target].c_str()) : nullptr;
            const LARGE_INTEGER shown = Now();
            if (!window) {
                std::fprintf(out, "FAILED %d no window %s\n", round, Utf8(pairs[target]).c_str());
                continue;
            }
            std::fprintf(out, "STARTUP %zu %.3f %zu\n", target / 2, Milliseconds(start, shown),
                         static_cast<size_t>(PeakWorkingSet(program.Process())));
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        std::fflush(out);
    }
    return 0;
}

struct Handover {
    unsigned long long created = 0;
    std::string command;
};

Handover ReadHandover(const std::wstring& path) {
    Handover handover;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return handover;
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    std::sscanf(text.c_str(), "CREATED %llu", &handover.created);
    size_t command = text.find("\nCOMMAND ");
    if (command != std::string::npos)
        handover.command = text.substr(command + 9);
    return handover;
}

// One logon of the program exe, whose window is titled title; its LOGON line names target.
void TimeLogon(FILE* out, int round, size_t target, const std::wstring& title,
               const std::wstring& exe, const std::vector<std::wstring>& args) {
    const std::wstring &user = args[0], &password = args[1], &log = args[2], &expected = args[3];
    DeleteFileW(log.c_str());
    Target program(exe);
    HWND window = program.Started() ? program.WaitForWindow(title.c_str()) : nullptr;
    if (!window || !WaitResponsive(window)) {
        std::fprintf(out, "FAILED %d no logon window %s\n", round, Utf8(title).c_str());
        return;
    }
    SendMessageW(GetDlgItem(window, userNameBox), WM_SETTEXT, 0, LPARAM(user.c_str()));
    SendMessageW(GetDlgItem(window, passwordBox), WM_SETTEXT, 0, LPARAM(password.c_str()));
    SIZE_T peak = PeakWorkingSet(program.Process());

    const unsigned long long clickTicks = SystemTicks();
    const LARGE_INTEGER click = Now();
    PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    bool seen = false;
    const DWORD start = GetTickCount();
    while (!seen && GetTickCount() - start < logonTimeout) {
        if (SIZE_T now = PeakWorkingSet(program.Process()); now > peak)
            peak = now;
        seen = GetFileAttributesW(log.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!seen)
            Sleep(1);
    }
    const LARGE_INTEGER logged = Now();
    if (!seen) {
        std::fprintf(out, "FAILED %d no handover %s\n", round, Utf8(title).c_str());
        PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    // Under Wine the renamed log is now and then seen a moment before it can be read.
    Handover handover = ReadHandover(log);
    for (int retry = 0; handover.created == 0 && retry < 200; ++retry) {
        Sleep(1);
        handover = ReadHandover(log);
    }
    const double handoverMs = (double(handover.created) - double(clickTicks)) / 10000.0;
    const bool matches = handover.command.find(Utf8(expected)) != std::string::npos;
    std::fprintf(out, "LOGON %zu %.3f %.3f %zu %d\n", target, handoverMs,
                 Milliseconds(click, logged), static_cast<size_t>(peak), matches ? 1 : 0);
    if (!matches)
        std::fprintf(out, "UNEXPECTED %d created %llu, command of %zu bytes\n", round,
                     handover.created, handover.command.size());
    std::fflush(out);
}

// Each round logs on with every program in turn, so that any drift of the machine weighs
// on all alike.
int TimeLogons(FILE* out, int rounds, const std::vector<std::wstring>& args) {
    for (int round = 0; round < rounds; ++round) {
        for (size_t target = 4; target + 1 < args.size(); target += 2)
            TimeLogon(out, round, (target - 4) / 2, args[target], args[target + 1], args);
    }
    return 0;
}

int Usage() {
    std::fwprintf(stderr, L"usage: window_timer startup <rounds> <out> <title> <exe>...\n"
                          L"       window_timer logon <rounds> <out> <user> <password> <log> "
                          L"<expected> <title> <exe>...\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 6)
        return Usage();
    const std::wstring command = argv[1];
    const int rounds = _wtoi(argv[2]);
    const std::vector<std::wstring> rest(argv + 4, argv + argc);
    const bool startup = command == L"startup" && rest.size() % 2 == 0;
    const bool logon = command == L"logon" && rest.size() >= 6 && rest.size() % 2 == 0;
    if (!startup && !logon)
        return Usage();

    FILE* out = _wfopen(argv[3], L"w");
    if (!out)
        return 3;
    const int status = startup ? TimeStartups(out, rounds, rest) : TimeLogons(out, rounds, rest);
    return std::fclose(out) == 0 ? status : 4;
}

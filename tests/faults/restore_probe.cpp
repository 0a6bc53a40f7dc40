// Starts tarnftp.exe once for each of many saved logon files, reads what its logon window
// restored, cancels it and checks that the file is unchanged: hundreds of starts in one Wine
// process, where driving each start from outside would cost a Wine start per question.
//
//   restore_probe <tarnftp.exe> <settings.bin> <list> <report>
//
// <list>: UTF-8, one Windows path per line, each a file to put in place of <settings.bin>
// before a start. <report>: UTF-8, one line per start, tab-separated:
//   opened box user password checked exit unchanged
// opened: 1 when the logon window showed and answered; box: 1 when a message box of the
// program showed at start; user, password: the boxes' texts as hexadecimal UTF-16 units
// ("-" when empty); checked: 1 or 0; exit: the exit code after Cancel, "alive" when the
// program did not end, "not-started-<error>" when it could not be started, "not-written" when
// the input could not be put in place; unchanged: 1 when settings.bin holds the same bytes as
// before, 0 when not, "-" when nothing was written.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t windowTitle[] = L"TarnGroup FTP Logon";
const wchar_t boxTitle[] = L"tarnftp";
constexpr int userNameId = 1012, passwordId = 1013, rememberId = 1031;
constexpr DWORD openTimeoutMs = 15000, exitTimeoutMs = 15000;

std::vector<char> ReadBytes(const std::wstring& path) {
    std::vector<char> bytes;
    if (FILE* in = _wfopen(path.c_str(), L"rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(in);
    }
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::vector<char>& bytes) {
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

std::wstring Widen(const std::string& utf8) {
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), size);
    return text;
}

std::vector<std::wstring> ReadList(const std::wstring& path) {
    std::vector<char> bytes = ReadBytes(path);
    std::vector<std::wstring> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty())
                lines.push_back(Widen(line));
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(Widen(line));
    return lines;
}

struct Search {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[256];
    if (owner == search->processId && IsWindowVisible(window) &&
        GetWindowTextW(window, title, 256) >= 0 && std::wcscmp(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowOf(DWORD processId, const wchar_t* title) {
    Search search{processId, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Answers(HWND window) {
    DWORD_PTR result;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

HWND WaitForLogonWindow(const PROCESS_INFORMATION& process) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < openTimeoutMs; Sleep(20)) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            return nullptr;
        HWND window = FindWindowOf(process.dwProcessId, windowTitle);
        if (window && Answers(window))
            return window;
    }
    return nullptr;
}

std::wstring HexUnits(HWND control) {
    LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(length) + 1, L'\0');
    LRESULT copied = SendMessageW(control, WM_GETTEXT, length + 1, LPARAM(text.data()));
    text.resize(size_t(copied));
    if (text.empty())
        return L"-";
    std::wstring hex;
    wchar_t unit[8];
    for (wchar_t c : text) {
        std::swprintf(unit, 8, L"%04x", unsigned(c));
        hex += unit;
    }
    return hex;
}

const wchar_t* Unchanged(const std::wstring& settings, const std::vector<char>& contents) {
    return ReadBytes(settings) == contents ? L"1" : L"0";
}

// Gives 0 once the program has started, else the last error. Under Wine a start was seen
// refused once in hundreds; that says nothing about the program, so a refused start is
// tried again a few times before it counts.
DWORD Start(const std::wstring& exe, PROCESS_INFORMATION& process) {
    DWORD error = 0;
    for (int attempt = 0; attempt < 5; ++attempt, Sleep(200)) {
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &process))
            return 0;
        error = GetLastError();
    }
    return error;
}

std::wstring Probe(const std::wstring& exe, const std::wstring& settings,
                   const std::wstring& input) {
    std::vector<char> contents = ReadBytes(input);
    if (!WriteBytes(settings, contents))
        return L"0\t0\t-\t-\t0\tnot-written\t-"; // nothing ran, nothing to compare

    PROCESS_INFORMATION process = {};
    if (DWORD error = Start(exe, process))
        return L"0\t0\t-\t-\t0\tnot-started-" + std::to_wstring(error) + L"\t" +
               Unchanged(settings, contents);

    std::wstring line;
    HWND window = WaitForLogonWindow(process);
    if (window) {
        bool box = FindWindowOf(process.dwProcessId, boxTitle) != nullptr;
        bool checked =
            SendMessageW(GetDlgItem(window, rememberId), BM_GETCHECK, 0, 0) == BST_CHECKED;
        line = std::wstring(L"1\t") + (box ? L"1\t" : L"0\t") +
               HexUnits(GetDlgItem(window, userNameId)) + L"\t" +
               HexUnits(GetDlgItem(window, passwordId)) + (checked ? L"\t1\t" : L"\t0\t");
        PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    } else {
        line = L"0\t0\t-\t-\t0\t";
    }

    DWORD exitCode = 0;
    if (WaitForSingleObject(process.hProcess, exitTimeoutMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &exitCode)) {
        line += std::to_wstring(exitCode);
    } else {
        // Started here, so ended here: the next start must not find this one's window.
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, exitTimeoutMs);
        line += L"alive";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return line + L"\t" + Unchanged(settings, contents);
}

void AppendUtf8(FILE* out, const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fputws(L"usage: restore_probe <tarnftp.exe> <settings.bin> <list> <report>\n", stderr);
        return 64;
    }
    FILE* report = _wfopen(argv[4], L"wb");
    if (!report)
        return 2;
    for (const std::wstring& input : ReadList(argv[3]))
        AppendUtf8(report, Probe(argv[1], argv[2], input) + L"\n");
    std::fclose(report);
    return 0;
}

// Stands in for the explorer during the logon benchmark. Writes, as UTF-8 to the file named
// by TARN_BENCH_HANDOVER_LOG, the moment this process was created (a FILETIME count of
// 100 ns units, the clock GetSystemTimePreciseAsFileTime reads) and its command line.
// The creation time is when the shell handed the location over; everything after it is
// the time Wine takes to start any program, which the logon does not cause.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

int wmain() {
    wchar_t logPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TARN_BENCH_HANDOVER_LOG", logPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;

    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user))
        return 3;

    // Written beside the log and renamed, so that the log appears whole or not at all.
    std::wstring partPath = std::wstring(logPath) + L".part";
    FILE* file = _wfopen(partPath.c_str(), L"wb");
    if (!file)
        return 4;
    bool written = std::fprintf(file, "CREATED %llu\nCOMMAND %s\n", Ticks(creation),
                                Utf8(GetCommandLineW()).c_str()) > 0;
    if (std::fclose(file) != 0 || !written)
        return 5;
    return MoveFileExW(partPath.c_str(), logPath, MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}

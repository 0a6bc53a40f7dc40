// Stands in for a program that the shell starts: writes its command line and the arguments
// that CommandLineToArgvW splits it into, each followed by a unit 0, as UTF-16 to the file
// named by TARN_SHELL_RECORDER_LOG. The log appears whole or not at all.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain() {
    wchar_t logPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TARN_SHELL_RECORDER_LOG", logPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;

    const wchar_t* commandLine = GetCommandLineW();
    std::wstring record(commandLine, std::wcslen(commandLine) + 1);
    int count = 0;
    if (wchar_t** arguments = CommandLineToArgvW(commandLine, &count)) {
        for (int i = 0; i < count; ++i)
            record.append(arguments[i], std::wcslen(arguments[i]) + 1);
        LocalFree(arguments);
    }

    std::wstring partPath = std::wstring(logPath) + L".part";
    FILE* file = _wfopen(partPath.c_str(), L"wb");
    if (!file)
        return 3;
    bool written =
        std::fwrite(record.data(), sizeof(wchar_t), record.size(), file) == record.size();
    if (std::fclose(file) != 0 || !written)
        return 4;
    return MoveFileExW(partPath.c_str(), logPath, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}

// Drives WinInetExchange from the command line for the Wine tests and the benchmark.
// Every text it prints is the hex of its UTF-8, so the console's code page cannot alter it.
//
//   exchange_probe [--offline] post <url>...        one PostRequest per url
//   exchange_probe [--offline] summary <url>...     the same, printing length and hash only
//   exchange_probe logon <h1> <h2> <h3> <user> <pw> ApiLogon through a ServiceSession
//   exchange_probe time <n> <h1> <h2> <h3> <user> <pw>  n logons, each in a new session
//   exchange_probe memory <url>                     peak memory around one PostRequest
//
// Output lines: "BOX <hex>" for each message shown, "RESULT <units> <hex>" or
// "SUMMARY <units> <fnv1a64>", "FAILURE <code> <hex>" for a CommandFailure, the seconds
// a post took as "ELAPSED <s>", and "SESSION <0|1>" after each call.
#include "common/Clock.h"
#include "common/CommandFailure.h"
#include "common/MessageSink.h"
#include "tests/ProbeText.h"
#include "webclient/ServiceSession.h"
#include "webclient/win/WinInetExchange.h"

#include <psapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class PrintingSink final : public MessageSink {
public:
    void ShowMessage(const Text& text) override { std::printf("BOX %s\n", Hex(text).c_str()); }
};

DWORD WINAPI NeverConnected(DWORD) {
    return ERROR_NOT_CONNECTED;
}

Text Arg(const wchar_t* arg) {
    return Text(reinterpret_cast<const char16_t*>(arg));
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

void Post(WinInetExchange& exchange, const Text& url, bool summary) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    try {
        PrintAnswer(exchange.PostRequest(url), summary);
    } catch (const CommandFailure& failure) {
        PrintFailure(failure);
    }
    QueryPerformanceCounter(&end);
    std::printf("ELAPSED %.3f\n", Seconds(start, end));
    std::printf("SESSION %d\n", exchange.HasOpenSession() ? 1 : 0);
}

int Logon(WinInetExchange& exchange, wchar_t** args) {
    PrintingSink sink;
    ServiceSession session({Arg(args[0]), Arg(args[1]), Arg(args[2])}, exchange, sink);
    try {
        const int result =
            static_cast<int>(session.ApiLogon(Arg(args[3]), SecretText(Arg(args[4])), u"ftp"));
        std::printf("LOGON %d %s %s\n", result, Hex(session.WebAppUrl()).c_str(),
                    Hex(session.SessionId()).c_str());
    } catch (const CommandFailure& failure) {
        PrintFailure(failure);
    }
    std::printf("SESSION %d\n", exchange.HasOpenSession() ? 1 : 0);
    return 0;
}

int TimeLogons(WinInetExchange& exchange, int rounds, wchar_t** args) {
    PrintingSink sink;
    for (int i = 0; i < rounds; ++i) {
        ServiceSession session({Arg(args[0]), Arg(args[1]), Arg(args[2])}, exchange, sink);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const int result =
            static_cast<int>(session.ApiLogon(Arg(args[3]), SecretText(Arg(args[4])), u"ftp"));
        QueryPerformanceCounter(&end);
        std::printf("TIME %d %.6f\n", result, Seconds(start, end));
    }
    return 0;
}

int Memory(WinInetExchange& exchange, const Text& url) {
    const SIZE_T before = PeakWorkingSet();
    const SecretText body = exchange.PostRequest(url);
    std::printf("MEMORY %zu %zu %zu\n", body.size(), static_cast<size_t>(before),
                static_cast<size_t>(PeakWorkingSet()));
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: exchange_probe [--offline] post|summary|logon|time|memory ...\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    PrintingSink sink;
    SystemClock clock;
    int first = 1;
    WinInetExchange::AttemptConnect attempt = &WinInetAttemptConnect;
    if (first < argc && std::wstring(argv[first]) == L"--offline") {
        attempt = &NeverConnected;
        ++first;
    }
    if (first >= argc)
        return Usage();
    WinInetExchange exchange(sink, clock, attempt);
    const std::wstring mode = argv[first];
    wchar_t** args = argv + first + 1;
    const int count = argc - first - 1;

    int status = 0;
    if (mode == L"post" || mode == L"summary") {
        for (int i = 0; i < count; ++i)
            Post(exchange, Arg(args[i]), mode == L"summary");
    } else if (mode == L"logon" && count == 5) {
        status = Logon(exchange, args);
    } else if (mode == L"time" && count == 6) {
        status = TimeLogons(exchange, _wtoi(args[0]), args + 1);
    } else if (mode == L"memory" && count == 1) {
        status = Memory(exchange, Arg(args[0]));
    } else {
        status = Usage();
    }
    std::fflush(stdout);
    return status;
}

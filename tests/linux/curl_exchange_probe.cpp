// Drives CurlExchange from the command line for the Linux tests, with the Windows probe's
// commands and output lines. Every text it prints is the hex of its UTF-8.
//
//   curl_exchange_probe post <url>...                     one PostRequest per url
//   curl_exchange_probe summary <url>...                  the same, printing length and hash only
//   curl_exchange_probe logon <h1> <h2> <h3> <user> <pw>  ApiLogon through a ServiceSession
//
// Output lines: "BOX <hex>" for each message shown, "RESULT <units> <hex>" or
// "SUMMARY <units> <fnv1a64>", "FAILURE <code> <hex>" for a CommandFailure, the seconds
// a post took as "ELAPSED <s>", and "SESSION 0" after each call (no session outlives one).
#include "common/Clock.h"
#include "common/CommandFailure.h"
#include "common/MessageSink.h"
#include "tests/ProbeText.h"
#include "webclient/ServiceSession.h"
#include "webclient/linux/CurlExchange.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

class PrintingSink final : public MessageSink {
public:
    void ShowMessage(const Text& text) override { std::printf("BOX %s\n", Hex(text).c_str()); }
};

void Post(CurlExchange& exchange, const Text& url, bool summary) {
    const auto start = std::chrono::steady_clock::now();
    try {
        PrintAnswer(exchange.PostRequest(url), summary);
    } catch (const CommandFailure& failure) {
        PrintFailure(failure);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("ELAPSED %.3f\nSESSION 0\n", elapsed.count());
}

void Logon(CurlExchange& exchange, char** args) {
    PrintingSink sink;
    ServiceSession session({FromUtf8(args[0]), FromUtf8(args[1]), FromUtf8(args[2])}, exchange,
                           sink);
    try {
        const int result = static_cast<int>(
            session.ApiLogon(FromUtf8(args[3]), SecretText(FromUtf8(args[4])), u"ftp"));
        std::printf("LOGON %d %s %s\n", result, Hex(session.WebAppUrl()).c_str(),
                    Hex(session.SessionId()).c_str());
    } catch (const CommandFailure& failure) {
        PrintFailure(failure);
    }
    std::printf("SESSION 0\n");
}

} // namespace

int main(int argc, char** argv) {
    // The exchange runs on the application's event loop.
    QCoreApplication application(argc, argv);
    PrintingSink sink;
    SystemClock clock;
    CurlExchange exchange(sink, clock);
    const std::string_view mode = argc > 1 ? argv[1] : "";
    char** args = argv + 2;
    const int count = argc - 2;
    if (mode == "post" || mode == "summary") {
        for (int i = 0; i < count; ++i)
            Post(exchange, FromUtf8(args[i]), mode == "summary");
    } else if (mode == "logon" && count == 5) {
        Logon(exchange, args);
    } else {
        std::fprintf(stderr, "usage: curl_exchange_probe post|summary|logon ...\n");
        return 2;
    }
    return 0;
}

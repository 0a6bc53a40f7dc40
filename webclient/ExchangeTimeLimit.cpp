#include "webclient/ExchangeTimeLimit.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>

std::chrono::milliseconds ExchangeTimeLimitFrom(const char* setting) {
    if (!setting || *setting < '1' || *setting > '9')
        return exchangeTimeLimit;
    // Compared in whole seconds as read, so that no number is multiplied past its type.
    std::uint64_t seconds = 0;
    const char* end = setting + std::strlen(setting);
    const auto [stop, error] = std::from_chars(setting, end, seconds);
    const auto limitSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(exchangeTimeLimit).count();
    if (error != std::errc() || stop != end || seconds >= static_cast<std::uint64_t>(limitSeconds))
        return exchangeTimeLimit;
    return std::chrono::seconds(seconds);
}

std::chrono::milliseconds ExchangeTimeLimit() {
    return ExchangeTimeLimitFrom(std::getenv("TARNFTP_TEST_EXCHANGE_SECONDS"));
}

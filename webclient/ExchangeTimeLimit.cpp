#include "webclient/ExchangeTimeLimit.h"

#include <cstdlib>

std::chrono::milliseconds ExchangeTimeLimit() {
    const char* setting = std::getenv("TARNFTP_TEST_EXCHANGE_SECONDS");
    if (!setting || *setting < '1' || *setting > '9')
        return exchangeTimeLimit;
    char* end = nullptr;
    const std::chrono::seconds shortened(std::strtol(setting, &end, 10));
    return *end == '\0' && shortened < exchangeTimeLimit ? shortened : exchangeTimeLimit;
}

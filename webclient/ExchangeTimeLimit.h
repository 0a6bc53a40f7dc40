#pragma once

#include <chrono>

// No exchange lasts longer than this, however slowly a server sends its answer: after it the
// exchange ends as a handled failure ("The service did not answer in time.").
inline constexpr std::chrono::milliseconds exchangeTimeLimit = std::chrono::minutes(2);

// The limit in effect: exchangeTimeLimit, or fewer whole seconds when the environment
// variable TARNFTP_TEST_EXCHANGE_SECONDS holds a number from 1 up to it, so that a test need
// not wait two minutes. The variable can only shorten the limit; anything else in it is ignored.
std::chrono::milliseconds ExchangeTimeLimit();

// The limit a value of that variable gives (null: not set).
std::chrono::milliseconds ExchangeTimeLimitFrom(const char* setting);

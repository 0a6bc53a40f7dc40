#pragma once

#include "common/Clock.h"
#include "common/Secret.h"
#include "webclient/Url.h"

#include <cstddef>
#include <cstdint>
#include <span>

// What both editions' exchanges send and how much they read back, decided once.

// The largest answer body read; a longer one is a handled failure ("answerTooLarge").
inline constexpr std::size_t maxAnswerBytes = 16u * 1024 * 1024;

// One request as it goes on the wire: where it connects, and its path with the cache-busting
// pair (seeded with the clock's seconds) appended. The path may hold the password, so it is a
// secret; Split's views are into it and live as long as this object, which is not copied.
struct PreparedRequest {
    ConnectTarget target;
    SecretText path;

    PreparedRequest(TextView url, const Clock& clock);
    PreparedRequest(const PreparedRequest&) = delete;
    PreparedRequest& operator=(const PreparedRequest&) = delete;

    RequestSplit Split() const { return SplitRequest(path.view()); }
};

// The answer's bytes up to its first NUL, which ends the text a caller reads.
std::span<const std::uint8_t> AnswerBeforeNul(std::span<const std::uint8_t> bytes);

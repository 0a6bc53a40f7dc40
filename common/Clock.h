#pragma once

#include <cstdint>

// Seconds since 1970-01-01 00:00 UTC. A seam so that the cache-busting number and the
// saved file's filler can be reproduced in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t SecondsSince1970() const = 0;
};

class SystemClock final : public Clock {
public:
    std::uint32_t SecondsSince1970() const override;
};

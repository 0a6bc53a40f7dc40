#pragma once

#include <cstdint>

// The linear congruential generator with a 32-bit state that the cache-busting
// number and the saved logon file's filler are drawn from. Seeding sets the state;
// each draw yields a value from 0 to 32767.
class PseudoRandom {
public:
    explicit PseudoRandom(std::uint32_t seed) : state(seed) {}

    int Draw() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state;
};

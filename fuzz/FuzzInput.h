#pragma once

#include "common/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

// Fuzz inputs read as text, so that seed files stay plain ASCII and byte mutations give the
// interesting ASCII edge cases: every byte is one code unit of that value, except that a byte
// 0xFF takes the next two bytes as one raw little-endian unit (surrogates, U+0100, anything).
inline Text UnitsFromBytes(std::span<const std::uint8_t> bytes) {
    Text units;
    units.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && i + 2 < bytes.size()) {
            units += static_cast<char16_t>(bytes[i + 1] | bytes[i + 2] << 8);
            i += 2;
        } else {
            units += static_cast<char16_t>(bytes[i]);
        }
    }
    return units;
}

// A broken property: say which, then abort so that libFuzzer keeps the input as a crash.
#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

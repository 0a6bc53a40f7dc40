#pragma once

#include "common/CommandFailure.h"
#include "common/Text.h"

#include <cstdint>
#include <cstdio>
#include <string>

// How the exchange probes of both editions print texts: the hex of their UTF-8 ("-" for
// none), so that no console code page can alter them, or a length and a hash for long ones.
inline std::string Hex(TextView text) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : ToUtf8(text)) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex.empty() ? "-" : hex;
}

inline std::uint64_t Fnv1a(TextView text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char16_t unit : text) {
        hash = (hash ^ (unit & 0xFF)) * 0x100000001b3ull;
        hash = (hash ^ (unit >> 8)) * 0x100000001b3ull;
    }
    return hash;
}

// "RESULT <units> <hex>", or "SUMMARY <units> <fnv1a64>" for a long answer.
inline void PrintAnswer(TextView body, bool summary) {
    if (summary)
        std::printf("SUMMARY %zu %016llx\n", body.size(),
                    static_cast<unsigned long long>(Fnv1a(body)));
    else
        std::printf("RESULT %zu %s\n", body.size(), Hex(body).c_str());
}

inline void PrintFailure(const CommandFailure& failure) {
    std::printf("FAILURE %lu %s\n", static_cast<unsigned long>(failure.code),
                Hex(failure.message).c_str());
}

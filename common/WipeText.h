#pragma once

#include "common/Text.h"

// Overwrites a text that held a secret before it lets the units go. Volatile stores,
// because stores to memory about to be freed may otherwise be dropped by the optimiser.
inline void WipeText(Text& text) {
    volatile char16_t* units = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        units[i] = 0;
    text.clear();
}

#include "common/Clock.h"

#include <ctime>

// The seed is the low 32 bits of the time, as the generator's state is.
std::uint32_t SystemClock::SecondsSince1970() const {
    return static_cast<std::uint32_t>(std::time(nullptr));
}

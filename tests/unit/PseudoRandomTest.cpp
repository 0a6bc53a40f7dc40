#include "common/PseudoRandom.h"

#include <gtest/gtest.h>

TEST(PseudoRandom, SeedOneGivesTheKnownSequence) {
    PseudoRandom random(1);
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(random.Draw(), expected);
}

TEST(PseudoRandom, StateWrapsModulo2To32AndStaysInRange) {
    PseudoRandom random(0xFFFFFFFFu);
    // state = 0xFFFFFFFF * 214013 + 2531011 mod 2^32 = 0x0024A3D5 + ... computed by hand:
    // (2^32 - 1) * 214013 = -214013 mod 2^32, plus 2531011 gives 2316998 = 0x235AC6.
    EXPECT_EQ(random.Draw(), (2316998 >> 16) & 0x7FFF);
    for (int i = 0; i < 1000; ++i) {
        int value = random.Draw();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

#include "logon/LogonFileCodec.h"

#include "common/PseudoRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::uint16_t> UnitsAfterMarker(const Bytes& bytes) {
    std::vector<std::uint16_t> units;
    for (std::size_t i = logonFileMarkerOffset + 2; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8));
    return units;
}

Bytes ArmedFileWithUnits(std::vector<std::uint16_t> units) {
    Bytes bytes(logonFileMarkerOffset, 0xAA);
    units.insert(units.begin(), logonFileArmed);
    for (std::uint16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// The encoded file as an ordinary byte vector, for comparisons.
Bytes Encode(TextView user, TextView password, std::uint32_t seed) {
    const SecretBytes bytes = EncodeLogonFile(user, password, seed);
    return Bytes(bytes.data(), bytes.data() + bytes.size());
}

} // namespace

TEST(LogonFileCodec, EncodesFillerMarkerAndFieldsByteForByte) {
    Bytes bytes = Encode(u"ab", u"c", 12345);
    ASSERT_EQ(bytes.size(), 412u);

    PseudoRandom random(12345);
    for (std::size_t word = 0; word < 100; ++word) {
        auto draw = static_cast<std::uint32_t>(random.Draw());
        const std::uint8_t* p = &bytes[word * 4];
        EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24, draw) << word;
    }
    EXPECT_EQ(bytes[400], 1);
    EXPECT_EQ(bytes[401], 0);
    EXPECT_EQ(UnitsAfterMarker(bytes),
              (std::vector<std::uint16_t>{0x009F, 0x009E, 0x0000, 0x009D, 0x0000}));
}

TEST(LogonFileCodec, CodesEachUnitAsItsDistanceFrom256) {
    struct Case {
        char16_t c;
        std::uint16_t unit;
    };
    for (Case test : {Case{u'A', 0x00BF},
                      {u'0', 0x00D0},
                      {u' ', 0x00E0},
                      {u'~', 0x0082},
                      {0x00E9, 0x0017},
                      {0x00FF, 0x0001},
                      {0x0101, 0xFFFF},
                      {0xFFFF, 0x0101}}) {
        Bytes bytes = Encode(Text(1, test.c), u"", 0);
        EXPECT_EQ(UnitsAfterMarker(bytes), (std::vector<std::uint16_t>{test.unit, 0, 0}))
            << int(test.c);
    }
}

TEST(LogonFileCodec, RestoresWhatItStored) {
    struct Case {
        const char* what;
        Text user;
        Text password;
    };
    const Case cases[] = {
        {"plain", u"ab", u"c"},
        {"empty password", u"john", u""},
        {"empty user name", u"", u"secret"},
        {"blanks and punctuation", u"john\\john's share", u" p@ss:/w\"rd "},
        {"e acute", u"caf\u00E9", u"\u00E9"},
        // Units that hold 0x1A or 0x0D 0x0A, which a text-mode reader would alter.
        {"text-mode bytes", u"\u00E6sc", u"x\uF6F3y\u00E6"},
        {"beyond Latin-1 and surrogates", u"\u0101\u4E2D\uFFFF", u"\U0001F600"},
        {"longer than 255", Text(300, u'u'), Text(1000, u'p')},
    };
    for (const Case& test : cases) {
        auto restored = DecodeLogonFile(Encode(test.user, test.password, 7));
        ASSERT_TRUE(restored) << test.what;
        EXPECT_EQ(restored->user, test.user) << test.what;
        EXPECT_EQ(restored->password, test.password) << test.what;
    }
}

TEST(LogonFileCodec, ReadsDamagedOrUnusualFilesAsFarAsTheyGo) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::optional<LogonInfo> expected;
    };
    Bytes forgotten = Encode(u"ab", u"c", 1);
    forgotten[400] = 0;
    Bytes markerTwo = Encode(u"ab", u"c", 1);
    markerTwo[400] = 2;
    Bytes highMarker = Encode(u"ab", u"c", 1);
    highMarker[401] = 1;
    Bytes oddTail = ArmedFileWithUnits({0x009F, 0x0000, 0x009D});
    oddTail.push_back(0x9E);
    const Case cases[] = {
        {"empty", {}, std::nullopt},
        {"filler only", Bytes(400, 0), std::nullopt},
        {"half a marker", Bytes(401, 1), std::nullopt},
        {"forgotten", forgotten, std::nullopt},
        {"marker 2", markerTwo, std::nullopt},
        {"marker 0x0101", highMarker, std::nullopt},
        {"ends after the marker", ArmedFileWithUnits({}), LogonInfo{}},
        {"user name cut short", ArmedFileWithUnits({0x009F, 0x009E}), LogonInfo{u"ab", u""}},
        {"password cut short", ArmedFileWithUnits({0x009F, 0x0000, 0x009D}), LogonInfo{u"a", u"c"}},
        {"lone last byte", oddTail, LogonInfo{u"a", u"c"}},
        {"x, U+0100, y", ArmedFileWithUnits({0x0088, 0x0000, 0x0087, 0x0000}),
         LogonInfo{u"x", u"y"}},
    };
    for (const Case& test : cases) {
        auto restored = DecodeLogonFile(test.bytes);
        ASSERT_EQ(restored.has_value(), test.expected.has_value()) << test.what;
        if (restored) {
            EXPECT_EQ(restored->user, test.expected->user) << test.what;
            EXPECT_EQ(restored->password, test.expected->password) << test.what;
        }
    }
}

TEST(LogonFileCodec, TextWithU0100CannotBeStored) {
    EXPECT_EQ(UnitsAfterMarker(Encode(u"x\u0100y", u"", 0)),
              (std::vector<std::uint16_t>{0x0088, 0x0000, 0x0087, 0x0000, 0x0000}));
    EXPECT_FALSE(CanStoreInLogonFile(u"x\u0100y"));
    EXPECT_FALSE(CanStoreInLogonFile(u"\u0100"));
    EXPECT_TRUE(CanStoreInLogonFile(u""));
    EXPECT_TRUE(CanStoreInLogonFile(u"\u00FF\u0101 plain"));
}

TEST(LogonFileCodec, ForgettingWipesTheMarkerFirstThenEverythingBehindIt) {
    using Wipes = std::array<LogonFileRange, 2>;
    EXPECT_EQ(LogonFileWipes(401), Wipes{}) << "too short to hold a marker";
    EXPECT_EQ(LogonFileWipes(402), (Wipes{{{400, 2}, {402, 0}}}));
    EXPECT_EQ(LogonFileWipes(412), (Wipes{{{400, 2}, {402, 10}}}));
}

#include "common/Text.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsEveryPlaneAndMendsBrokenInput) {
    const Text text = u"a\u00E9\u20AC\U0001F600z";
    const std::string bytes = ToUtf8(text);
    EXPECT_EQ(bytes, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(FromUtf8(bytes), text);

    EXPECT_EQ(ToUtf8(Text(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              u"a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD");     // overlong
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD"); // encoded surrogate
    EXPECT_EQ(FromUtf8("\xE2\x82z"), u"\uFFFDz");   // truncated sequence keeps the next char
    EXPECT_EQ(FromUtf8(std::string("a\0b", 3)), Text(u"a\0b", 3));
}

#include "common/Text.h"
#include "common/UserLanguage.h"
#include "common/UserTextCatalogs.h"
#include "common/UserTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

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

// Each catalog gives every name a text, with the blanks and line breaks at both ends that the
// program joins other text onto.
TEST(TextCatalogs, EveryLanguageHasEveryNameWithTheSameJoins) {
    const auto joins = [](const Text& text) {
        const std::size_t head = text.find_first_not_of(u" \n"),
                          tail = text.find_last_not_of(u" \n");
        return std::pair(text.substr(0, head), text.substr(std::min(tail + 1, text.size())));
    };
    ASSERT_STREQ(textCatalogs[0].language, "en");
    for (unsigned catalog = 1; catalog < textCatalogCount; ++catalog) {
        const char* english = textCatalogs[0].texts;
        const char* text = textCatalogs[catalog].texts;
        for (unsigned name = 0; name < UserTexts::textNameCount; ++name) {
            SCOPED_TRACE(testing::Message() << textCatalogs[catalog].language << " #" << name);
            ASSERT_NE(text[0], missingText);
            EXPECT_EQ(joins(FromUtf8(text)), joins(FromUtf8(english)));
            english += std::strlen(english) + 1;
            text += std::strlen(text) + 1;
        }
    }
}

TEST(TextCatalogs, TheUsersLanguageIsTheFirstWithACatalogAndEnglishOtherwise) {
    const unsigned de = CatalogForLocale("de").value(), fr = CatalogForLocale("fr").value();
    const std::pair<std::map<std::string, std::string>, unsigned> cases[] = {
        {{}, 0},
        {{{"LANG", "DE_at.UTF-8"}}, de},
        {{{"LANG", "fr_CA"}, {"LC_MESSAGES", "de_DE@euro"}}, de},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C"}}, 0},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", ""}}, de},
        {{{"LANG", "de"}, {"LANGUAGE", "sv::fr_FR:de"}}, fr},
        {{{"LANG", "de"}, {"LANGUAGE", "en_GB:fr"}}, 0},
        {{{"LANG", "deu"}}, 0},
    };
    for (const auto& [environment, wanted] : cases) {
        EXPECT_EQ(CatalogForEnvironment([&](const char* name) -> const char* {
                      const auto found = environment.find(name);
                      return found == environment.end() ? nullptr : found->second.c_str();
                  }),
                  wanted)
            << testing::PrintToString(environment);
    }
    UserTexts::UseCatalog(fr);
    EXPECT_EQ(UserTexts::mountFailed + Text(u"x"),
              u"Impossible d'ouvrir l'espace de stockage\u00A0: x");
    UserTexts::UseCatalog(textCatalogCount);
    EXPECT_EQ(Text(UserTexts::cancelButton), u"Cancel");
}

#include "common/Text.h"
#include "common/UserLanguage.h"
#include "common/UserTextCatalogs.h"
#include "common/UserTexts.h"

#include <gtest/gtest.h>

#include <array>
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

// Each catalog gives every name a text, keeping what the program joins other text onto: the
// blanks and line breaks at both ends, and any %1-style placeholder.
TEST(TextCatalogs, EveryLanguageHasEveryNameWithTheSamePlaceholders) {
    const auto edges = [](TextView text) {
        const auto blank = [](char16_t c) { return c == u' ' || c == u'\n'; };
        std::size_t head = 0, tail = text.size();
        while (head < tail && blank(text[head]))
            ++head;
        while (tail > head && blank(text[tail - 1]))
            --tail;
        Text placeholders;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9')
                placeholders += text.substr(i, 2);
        return std::array<Text, 3>{Text(text.substr(0, head)), Text(text.substr(tail)),
                                   placeholders};
    };
    ASSERT_STREQ(textCatalogs[0].language, "en");
    ASSERT_GE(textCatalogCount, 3u);
    for (unsigned catalog = 1; catalog < textCatalogCount; ++catalog) {
        const char* english = textCatalogs[0].texts;
        const char* text = textCatalogs[catalog].texts;
        for (unsigned name = 0; name < UserTexts::textNameCount; ++name) {
            SCOPED_TRACE(testing::Message() << textCatalogs[catalog].language << " #" << name);
            ASSERT_NE(text[0], missingText);
            ASSERT_NE(text[0], '\0');
            EXPECT_EQ(edges(FromUtf8(text)), edges(FromUtf8(english)));
            english += std::strlen(english) + 1;
            text += std::strlen(text) + 1;
        }
    }
}

TEST(TextCatalogs, TheUsersLanguageIsTheFirstWithACatalogAndEnglishOtherwise) {
    const unsigned de = CatalogForLocale("de").value(), fr = CatalogForLocale("fr").value();
    struct Case {
        std::map<std::string, std::string> environment;
        unsigned catalog;
    };
    const Case cases[] = {
        {{}, 0},
        {{{"LANG", "de_AT.UTF-8"}}, de},
        {{{"LANG", "fr_CA"}, {"LC_MESSAGES", "de_DE@euro"}}, de},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C"}}, 0},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "POSIX"}}, 0},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_ALL", ""}}, de},
        {{{"LANG", "de"}, {"LANGUAGE", "sv:fr_FR:de"}}, fr},
        {{{"LANG", "de"}, {"LANGUAGE", "en_GB:fr"}}, 0},
        {{{"LANG", "fr_FR.UTF-8"}, {"LANGUAGE", "::xx"}}, fr},
        {{{"LANG", "nl_NL.UTF-8"}}, 0},
        {{{"LANG", "DE_de"}}, de},
        {{{"LANG", "d"}}, 0},
        {{{"LANG", "deu"}}, 0},
    };
    for (const Case& c : cases) {
        const unsigned catalog = CatalogForEnvironment([&c](const char* name) -> const char* {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        });
        EXPECT_EQ(catalog, c.catalog) << testing::PrintToString(c.environment);
    }
}

TEST(TextCatalogs, NamesReadInTheCatalogInUse) {
    const unsigned fr = CatalogForLocale("fr").value();
    UserTexts::UseCatalog(fr);
    EXPECT_EQ(Text(UserTexts::cancelButton), u"Annuler");
    EXPECT_EQ(UserTexts::mountFailed + Text(u"x"),
              u"Impossible d'ouvrir l'espace de stockage\u00A0: x");
    UserTexts::UseCatalog(textCatalogCount);
    EXPECT_EQ(UserTexts::CatalogInUse(), 0u);
    EXPECT_EQ(TextView(UserTexts::cancelButton), u"Cancel");
}

#include "common/UserLanguage.h"

#include "common/UserTextCatalogs.h"

#include <cstring>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::optional<unsigned> CatalogForLocale(std::string_view locale) {
    const std::string_view language = locale.substr(0, locale.find_first_of("_-.@"));
    for (unsigned i = 0; i < textCatalogCount; ++i) {
        const std::string_view code = textCatalogs[i].language;
        if (code.size() != language.size())
            continue;
        bool same = true;
        for (std::size_t c = 0; c < code.size() && same; ++c)
            same = Lower(language[c]) == code[c];
        if (same)
            return i;
    }
    return std::nullopt;
}

unsigned CatalogForEnvironment(const std::function<const char*(const char*)>& variable) {
    const auto value = [&variable](const char* name) {
        const char* text = variable(name);
        return std::string_view(text ? text : "");
    };
    std::string_view list = value("LANGUAGE");
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (const auto catalog = CatalogForLocale(list.substr(0, colon)))
            return *catalog;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const std::string_view locale = value(name); !locale.empty())
            return CatalogForLocale(locale).value_or(0);
    }
    return 0;
}

#pragma once

#include <functional>
#include <optional>
#include <string_view>

// Which text catalog speaks the user's language.

// The catalog for a language code or a locale name ("de", "de_AT.UTF-8", "fr-CA",
// "de_DE@euro"): the region, the character set and the modifier do not matter. None for "C",
// "POSIX", an empty name and a language without a catalog.
std::optional<unsigned> CatalogForLocale(std::string_view locale);

// The catalog as gettext would choose the language: each entry of LANGUAGE's colon-separated
// list in turn, then the locale that LC_ALL, LC_MESSAGES or LANG names (the first of them set
// and not empty); the first of these that has a catalog. English when none has.
unsigned CatalogForEnvironment(const std::function<const char*(const char*)>& variable);

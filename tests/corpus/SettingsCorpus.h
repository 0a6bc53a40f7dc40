#pragma once

// What both test tiers save and restore through their edition's store of the saved logon file.

#include "common/Text.h"

#include <cstdint>

// The saved logon files in tests/corpus/settings: windows-saved.bin as the Windows edition's
// store wrote it, linux-saved.bin as the Linux edition's did, both for these credentials
// (non-ASCII, a surrogate pair, and units whose bytes a text-mode reader would change: U+00E6
// is stored as 0x1A 0x00, and CR LF), the filler seeded as given.
inline constexpr char16_t corpusUser[] = u"j\u00F6rg \u00E6";
inline constexpr char16_t corpusPassword[] = u"p\u00E6ss \"w\r\n\u20AC\U0001F511";
inline constexpr std::uint32_t windowsSavedSeed = 1765000000;
inline constexpr std::uint32_t linuxSavedSeed = 1765000001;

// Credentials each store saves and reads back.
struct SavedLogonCase {
    const char* what;
    Text user;
    Text password;
};

inline const SavedLogonCase savedLogonCases[] = {
    {"the example", u"ab", u"c"},
    {"empty password", u"john", u""},
    {"text-mode bytes", u"\u00E6\u00E6", u"\uF6F3\u00E6\r\n\x1A"},
    {"longer than 255", Text(400, u'\u00E9'), Text(300, u'p')},
};

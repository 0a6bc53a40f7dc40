#pragma once

#include <string>
#include <string_view>

// All text inside the program is UTF-16, as the Windows API speaks it.
using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16. Both directions are lenient: an unpaired surrogate or a malformed
// UTF-8 sequence becomes U+FFFD rather than failing, which is what the platform's
// converters do with flags 0.
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view bytes);

// ASCII text as UTF-16, for the program's fixed strings.
Text Widen(std::string_view ascii);

#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The saved logon file, as bytes. Layout, little-endian throughout:
//   400 bytes of filler: 100 32-bit draws of the pseudo-random generator (no reader looks at it);
//   a 16-bit marker: 1 = the credentials behind it are valid, anything else = forgotten;
//   the user name, then the password: one 16-bit unit (256 - c) mod 65536 per UTF-16 code unit c,
//   each field ended by a unit 0. Nothing follows the password.
// The coding only hides the text from a casual look; it uses no key.

struct LogonInfo {
    Text user;
    SecretText password;
};

inline constexpr std::size_t logonFileMarkerOffset = 400;
inline constexpr std::uint16_t logonFileArmed = 1;
inline constexpr std::uint16_t logonFileForgotten = 0;

// The whole file for user and password, the filler drawn from a generator seeded with seed.
SecretBytes EncodeLogonFile(TextView user, TextView password, std::uint32_t seed);

// The credentials of an armed file; nothing when the marker cannot be read or is not 1. The
// end of the data ends a field as a unit 0 would (a lone last byte counts as the end), so a
// field cut short is restored as far as it goes. Fields of any length are restored whole.
std::optional<LogonInfo> DecodeLogonFile(std::span<const std::uint8_t> bytes);

// False when text holds U+0100: its unit is 0, the terminator, so the text would come back
// cut there and the rest would be read as the next field.
bool CanStoreInLogonFile(TextView text);

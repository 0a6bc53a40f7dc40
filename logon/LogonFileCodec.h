#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <array>
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

// A run of bytes of the file.
struct LogonFileRange {
    std::uint64_t offset;
    std::uint64_t length;

    bool operator==(const LogonFileRange&) const = default;
};

// What forgetting overwrites with zeros in a saved file of fileBytes bytes, in place and in
// this order, each range flushed to the disk before the next: first the marker, so that the
// file is disarmed before any of its credentials go and no crash can leave it armed with
// part of them; then every byte behind it. The filler and the length stay, so a reader still
// finds a file that restores nothing. A range of length 0 is passed over: a file too short to
// hold a marker has none (it is not armed, and writing one would only lengthen it), and one
// that ends with its marker has nothing behind it.
std::array<LogonFileRange, 2> LogonFileWipes(std::uint64_t fileBytes);

// False when text holds U+0100: its unit is 0, the terminator, so the text would come back
// cut there and the rest would be read as the next field.
bool CanStoreInLogonFile(TextView text);

// Input, read twice: once as the bytes of a saved file to decode; once as credentials to encode
// and decode again (first byte: the user name's length; the next four: the filler seed; the rest:
// the user name followed by the password, as text).
#include "fuzz/FuzzInput.h"
#include "logon/LogonFileCodec.h"

#include <algorithm>

namespace {

constexpr std::size_t fieldsOffset = logonFileMarkerOffset + 2;

std::uint16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

TextView UpToUnstorable(TextView text) {
    return text.substr(0, text.find(u'\u0100'));
}

// Any file: restored only when armed, fields free of the terminator's character, and the
// restored fields coded again are the file's own bytes as far as the file goes.
void CheckDecode(std::span<const std::uint8_t> file) {
    const std::optional<LogonInfo> info = DecodeLogonFile(file);
    const bool armed =
        file.size() >= fieldsOffset && UnitAt(file, logonFileMarkerOffset) == logonFileArmed;
    FUZZ_REQUIRE(info.has_value() == armed);
    if (!info)
        return;
    FUZZ_REQUIRE(CanStoreInLogonFile(info->user) && CanStoreInLogonFile(info->password));

    const SecretBytes againBytes = EncodeLogonFile(info->user, info->password, 0);
    const std::span<const std::uint8_t> again = againBytes;
    const std::span<const std::uint8_t> fields = file.subspan(fieldsOffset);
    const std::size_t compared =
        std::min(fields.size() & ~std::size_t(1), again.size() - fieldsOffset);
    FUZZ_REQUIRE(
        std::equal(fields.begin(), fields.begin() + compared, again.begin() + fieldsOffset));

    const std::optional<LogonInfo> reread = DecodeLogonFile(again);
    FUZZ_REQUIRE(reread && reread->user == info->user && reread->password == info->password);
}

void CheckFillerAndLayout(std::span<const std::uint8_t> file, TextView user, TextView password) {
    FUZZ_REQUIRE(file.size() == fieldsOffset + 2 * (user.size() + password.size() + 2));
    for (std::size_t word = 0; word < logonFileMarkerOffset; word += 4)
        FUZZ_REQUIRE(UnitAt(file, word) <= 0x7FFF && UnitAt(file, word + 2) == 0);
    FUZZ_REQUIRE(UnitAt(file, logonFileMarkerOffset) == logonFileArmed);
    FUZZ_REQUIRE(UnitAt(file, fieldsOffset + 2 * user.size()) == 0);
    FUZZ_REQUIRE(UnitAt(file, file.size() - 2) == 0);
}

void CheckRoundTrip(std::span<const std::uint8_t> input) {
    if (input.size() < 5)
        return;
    const Text text = UnitsFromBytes(input.subspan(5));
    const std::size_t userLength = std::min<std::size_t>(input[0], text.size());
    const TextView user = TextView(text).substr(0, userLength);
    const TextView password = TextView(text).substr(userLength);
    const std::uint32_t seed = UnitAt(input, 1) | std::uint32_t(UnitAt(input, 3)) << 16;

    const SecretBytes fileBytes = EncodeLogonFile(user, password, seed);
    const std::span<const std::uint8_t> file = fileBytes;
    CheckFillerAndLayout(file, user, password);
    const SecretBytes again = EncodeLogonFile(user, password, seed);
    FUZZ_REQUIRE(std::ranges::equal(again.span(), file));

    const std::optional<LogonInfo> info = DecodeLogonFile(file);
    FUZZ_REQUIRE(info.has_value());
    const bool storable = CanStoreInLogonFile(user) && CanStoreInLogonFile(password);
    FUZZ_REQUIRE(storable == (user.find(u'\u0100') == TextView::npos &&
                              password.find(u'\u0100') == TextView::npos));
    if (storable) {
        FUZZ_REQUIRE(info->user == user && info->password == password);
    } else {
        FUZZ_REQUIRE(info->user == UpToUnstorable(user));
    }

    // The same file cut short: a field is restored as far as the file reaches it.
    const std::size_t cut = seed % (file.size() + 1);
    const std::optional<LogonInfo> partial =
        DecodeLogonFile(std::span<const std::uint8_t>(file).first(cut));
    FUZZ_REQUIRE(partial.has_value() == (cut >= fieldsOffset));
    if (partial && storable) {
        FUZZ_REQUIRE(user.starts_with(partial->user) && password.starts_with(partial->password));
        FUZZ_REQUIRE(partial->user == user || partial->password.empty());
        const std::size_t units = (cut - fieldsOffset) / 2;
        FUZZ_REQUIRE(partial->user.size() == std::min(units, user.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    CheckDecode(input);
    CheckRoundTrip(input);
    return 0;
}

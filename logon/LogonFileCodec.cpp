#include "logon/LogonFileCodec.h"

#include "common/PseudoRandom.h"

namespace {

constexpr int fillerWords = 100;
constexpr char16_t unstorable = 0x0100;

void AppendUnit(SecretBytes& bytes, std::uint16_t unit) {
    bytes += static_cast<std::uint8_t>(unit & 0xFF);
    bytes += static_cast<std::uint8_t>(unit >> 8);
}

// The same subtraction codes and decodes: c = (256 - unit) mod 65536.
std::uint16_t Flip(std::uint16_t value) {
    return static_cast<std::uint16_t>(256u - value);
}

void AppendField(SecretBytes& bytes, TextView field) {
    for (char16_t c : field)
        AppendUnit(bytes, Flip(c));
    AppendUnit(bytes, 0);
}

class UnitReader {
public:
    explicit UnitReader(std::span<const std::uint8_t> bytes) : bytes(bytes) {}

    std::optional<std::uint16_t> Next() {
        if (bytes.size() - position < 2)
            return std::nullopt;
        std::uint16_t unit = static_cast<std::uint16_t>(bytes[position] | bytes[position + 1] << 8);
        position += 2;
        return unit;
    }

    SecretText Field() {
        SecretText field;
        while (auto unit = Next()) {
            if (*unit == 0)
                break;
            field += static_cast<char16_t>(Flip(*unit));
        }
        return field;
    }

    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

} // namespace

SecretBytes EncodeLogonFile(TextView user, TextView password, std::uint32_t seed) {
    SecretBytes bytes;
    bytes.reserve(logonFileMarkerOffset + 2 * (user.size() + password.size() + 3));
    PseudoRandom random(seed);
    for (int i = 0; i < fillerWords; ++i) {
        auto word = static_cast<std::uint32_t>(random.Draw());
        AppendUnit(bytes, static_cast<std::uint16_t>(word & 0xFFFF));
        AppendUnit(bytes, static_cast<std::uint16_t>(word >> 16));
    }
    AppendUnit(bytes, logonFileArmed);
    AppendField(bytes, user);
    AppendField(bytes, password);
    return bytes;
}

std::optional<LogonInfo> DecodeLogonFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < logonFileMarkerOffset)
        return std::nullopt;
    UnitReader reader(bytes.subspan(logonFileMarkerOffset));
    if (reader.Next() != logonFileArmed)
        return std::nullopt;
    LogonInfo info;
    info.user = Text(reader.Field().view());
    info.password = reader.Field();
    return info;
}

// Wiping writes zeros over the marker, which must then read as forgotten.
static_assert(logonFileForgotten == 0);

std::array<LogonFileRange, 2> LogonFileWipes(std::uint64_t fileBytes) {
    constexpr std::uint64_t credentials = logonFileMarkerOffset + 2;
    if (fileBytes < credentials)
        return {};
    return {{{logonFileMarkerOffset, 2}, {credentials, fileBytes - credentials}}};
}

bool CanStoreInLogonFile(TextView text) {
    return text.find(unstorable) == TextView::npos;
}

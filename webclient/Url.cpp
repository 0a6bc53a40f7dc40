#include "webclient/Url.h"

#include <array>
#include <string>

namespace {

constexpr TextView httpScheme = u"http://";
constexpr TextView httpsScheme = u"https://";

TextView WithoutScheme(TextView url) {
    if (url.starts_with(httpScheme))
        return url.substr(httpScheme.size());
    if (url.starts_with(httpsScheme))
        return url.substr(httpsScheme.size());
    return url;
}

struct Escape {
    char16_t character;
    TextView escape;
};

// The percent sign must come first so that the "%" of later escapes is not escaped again.
constexpr std::array<Escape, 19> escapeTable{{
    {u'%', u"%25"},  {u' ', u"%20"}, {u'"', u"%22"}, {u'^', u"%5E"},  {u'&', u"%26"},
    {u'$', u"%24"},  {u'#', u"%23"}, {u'@', u"%40"}, {u'!', u"%21"},  {u'(', u"%28"},
    {u')', u"%29"},  {u'[', u"%5B"}, {u']', u"%5D"}, {u'{', u"%7B"},  {u'}', u"%7D"},
    {u'\'', u"%27"}, {u'=', u"%3D"}, {u'/', u"%2F"}, {u'\\', u"%5C"},
}};

bool IsUnreservedByte(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

bool IsAsciiDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

} // namespace

Text HostFromUrl(TextView url) {
    TextView rest = WithoutScheme(url);
    std::size_t slash = rest.find(u'/');
    if (slash == TextView::npos || slash == 0)
        return Text(rest);
    return Text(rest.substr(0, slash));
}

TextView PathFromUrl(TextView url) {
    TextView rest = WithoutScheme(url);
    std::size_t slash = rest.find(u'/');
    if (slash == TextView::npos || slash == 0)
        return {};
    return rest.substr(slash);
}

Text UrlEncode(Text& value) {
    for (const Escape& entry : escapeTable) {
        std::size_t i = value.find(entry.character);
        while (i != Text::npos) {
            value.replace(i, 1, entry.escape);
            i = value.find(entry.character, i + 1);
        }
    }
    return value;
}

Text CacheBustingPair(TextView url, int number) {
    Text pair = url.find(u'?') != TextView::npos ? u"&rand=" : u"?rand=";
    return pair + Widen(std::to_string(number));
}

RequestSplit SplitRequest(TextView path) {
    std::size_t question = path.find(u'?');
    if (question == TextView::npos)
        return {path, std::nullopt};
    return {path.substr(0, question), path.substr(question + 1)};
}

SecretText FormEncode(TextView value) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    SecretText encoded;
    encoded.reserve(value.size() * 9); // at most three bytes a unit, three units a byte
    EncodeUtf8(value, [&encoded](char c) {
        auto byte = static_cast<unsigned char>(c);
        if (IsUnreservedByte(byte)) {
            encoded += char16_t(byte);
        } else {
            encoded += u'%';
            encoded += char16_t(hexDigits[byte >> 4]);
            encoded += char16_t(hexDigits[byte & 0x0F]);
        }
    });
    return encoded;
}

ConnectTarget ConnectTargetFromUrl(TextView url) {
    const bool secure = url.starts_with(httpsScheme);
    const std::uint16_t defaultPort = secure ? 443 : 80;
    Text host = HostFromUrl(url);

    // Only a colon followed by 1 to 5 digits naming a real port splits the host; anything
    // else stays part of the host name, as the connection would otherwise go to a port
    // nobody asked for.
    std::size_t colon = host.rfind(u':');
    if (colon == Text::npos)
        return {host, defaultPort, secure};
    TextView digits = TextView(host).substr(colon + 1);
    if (digits.empty() || digits.size() > 5)
        return {host, defaultPort, secure};
    unsigned long port = 0;
    for (char16_t unit : digits) {
        if (!IsAsciiDigit(unit))
            return {host, defaultPort, secure};
        port = port * 10 + (unit - u'0');
    }
    if (port < 1 || port > 65535)
        return {host, defaultPort, secure};
    return {host.substr(0, colon), static_cast<std::uint16_t>(port), secure};
}

// Input: one address. Every splitting and encoding operation of the request addresses is run
// on it, alone and chained as an exchange chains them.
#include "fuzz/FuzzInput.h"
#include "webclient/PlainAddress.h"
#include "webclient/Url.h"

#include <string>

namespace {

// The characters the address encoder escapes, each as "%" and its code in upper-case hex.
constexpr TextView escapedCharacters = u"% \"^&$#@!()[]{}'=/\\";

bool IsUpperHexDigit(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F');
}

int HexValue(char16_t digit) {
    return digit <= u'9' ? digit - u'0' : digit - u'A' + 10;
}

bool IsUnreservedUnit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
           (unit >= u'0' && unit <= u'9') || unit == u'-' || unit == u'.' || unit == u'_' ||
           unit == u'~';
}

TextView WithoutScheme(TextView url) {
    for (TextView scheme : {TextView(u"http://"), TextView(u"https://")})
        if (url.starts_with(scheme))
            return url.substr(scheme.size());
    return url;
}

// Reads "%XX" at position i of encoded, when it is there.
int EscapedValueAt(TextView encoded, std::size_t i) {
    FUZZ_REQUIRE(i + 2 < encoded.size());
    FUZZ_REQUIRE(IsUpperHexDigit(encoded[i + 1]) && IsUpperHexDigit(encoded[i + 2]));
    return HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]);
}

void CheckHostAndPath(TextView url) {
    const Text host = HostFromUrl(url);
    const Text path(PathFromUrl(url));
    FUZZ_REQUIRE(host + path == WithoutScheme(url));
    FUZZ_REQUIRE(path.empty() ||
                 (path[0] == u'/' && !host.empty() && host.find(u'/') == Text::npos));
}

void CheckUrlEncode(TextView url) {
    Text value(url);
    const Text returned = UrlEncode(value);
    FUZZ_REQUIRE(returned == value);
    Text decoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != u'%') {
            FUZZ_REQUIRE(escapedCharacters.find(value[i]) == TextView::npos);
            decoded += value[i];
            continue;
        }
        const auto character = static_cast<char16_t>(EscapedValueAt(value, i));
        FUZZ_REQUIRE(escapedCharacters.find(character) != TextView::npos);
        decoded += character;
        i += 2;
    }
    FUZZ_REQUIRE(decoded == url);
}

void CheckFormEncode(TextView url) {
    const SecretText encodedSecret = FormEncode(url);
    const TextView encoded = encodedSecret;
    std::string bytes;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == u'%') {
            bytes += static_cast<char>(EscapedValueAt(encoded, i));
            i += 2;
        } else {
            FUZZ_REQUIRE(IsUnreservedUnit(encoded[i]));
            bytes += static_cast<char>(encoded[i]);
        }
    }
    FUZZ_REQUIRE(bytes == ToUtf8(url));
}

// The path, the cache-busting pair behind it, and the split into object and form text.
void CheckRequest(TextView url, int number) {
    const Text pair = CacheBustingPair(url, number);
    const Text digits = Widen(std::to_string(number));
    const bool hasQuery = url.find(u'?') != TextView::npos;
    FUZZ_REQUIRE(pair == (hasQuery ? u"&rand=" : u"?rand=") + digits);

    const Text path = Text(PathFromUrl(url)) + pair;
    const RequestSplit split = SplitRequest(path);
    FUZZ_REQUIRE(split.object.find(u'?') == Text::npos);
    if (!split.form) {
        FUZZ_REQUIRE(split.object == path);
        return;
    }
    FUZZ_REQUIRE(Text(split.object) + u'?' + Text(*split.form) == path);
    FUZZ_REQUIRE(split.form->ends_with(TextView(pair).substr(1)));
    if (!hasQuery)
        FUZZ_REQUIRE(*split.form == TextView(pair).substr(1));
}

// 1 to 65535 written without leading zeros.
bool IsCanonicalPort(TextView digits) {
    if (digits.empty() || digits.size() > 5 || digits[0] == u'0')
        return false;
    unsigned long port = 0;
    for (char16_t unit : digits) {
        if (unit < u'0' || unit > u'9')
            return false;
        port = port * 10 + (unit - u'0');
    }
    return port <= 65535;
}

// A canonical decimal port behind the host's last colon always splits off, and only digits do.
void CheckConnectTarget(TextView url) {
    const ConnectTarget target = ConnectTargetFromUrl(url);
    const bool secure = url.starts_with(u"https://");
    FUZZ_REQUIRE(target.secure == secure);
    const Text host = HostFromUrl(url);
    const std::uint16_t defaultPort = secure ? 443 : 80;
    if (target.hostName == host) {
        FUZZ_REQUIRE(target.port == defaultPort);
        const std::size_t colon = host.rfind(u':');
        if (colon != Text::npos)
            FUZZ_REQUIRE(!IsCanonicalPort(TextView(host).substr(colon + 1)));
        return;
    }
    FUZZ_REQUIRE(host.starts_with(target.hostName + u':'));
    const TextView digits = TextView(host).substr(target.hostName.size() + 1);
    FUZZ_REQUIRE(!digits.empty() && digits.size() <= 5 && digits.find(u':') == TextView::npos);
    unsigned long port = 0;
    for (char16_t unit : digits) {
        FUZZ_REQUIRE(unit >= u'0' && unit <= u'9');
        port = port * 10 + (unit - u'0');
    }
    FUZZ_REQUIRE(port >= 1 && port == target.port);
}

// What passes the shell check can neither name another handler nor add to a command line: an
// http(s) address of printable ASCII without blanks or quotes, and a plain host for ftp.
void CheckShellAddress(TextView url) {
    if (IsPlainWebAddress(url)) {
        FUZZ_REQUIRE(url.size() <= 2048);
        FUZZ_REQUIRE(url.starts_with(u"http://") || url.starts_with(u"https://"));
        for (char16_t unit : url)
            FUZZ_REQUIRE(unit > u' ' && unit <= u'~' && unit != u'"' && unit != u'\\');
        FUZZ_REQUIRE(
            IsPlainFtpHost(HostFromUrl(url).substr(0, HostFromUrl(url).find_first_of(u"?#"))));
    }
    if (IsPlainFtpHost(url))
        for (char16_t unit : url)
            FUZZ_REQUIRE(unit == u'.' || unit == u'-' || unit == u':' || IsUnreservedUnit(unit));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text url = UnitsFromBytes({data, size});
    CheckHostAndPath(url);
    CheckUrlEncode(url);
    CheckFormEncode(url);
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < size; ++i)
        number = number * 31 + data[i];
    CheckRequest(url, static_cast<int>(number % 32768));
    CheckConnectTarget(url);
    CheckShellAddress(url);
    return 0;
}

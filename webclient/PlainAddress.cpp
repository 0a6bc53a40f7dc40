#include "webclient/PlainAddress.h"

#include "common/UserTexts.h"

#include <cstddef>

namespace {

constexpr std::size_t maxAddressUnits = 2048;
constexpr std::size_t maxNamedUnits = 64;

bool IsAsciiLetterOrDigit(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

bool IsHostUnit(char16_t c) {
    return IsAsciiLetterOrDigit(c) || c == u'.' || c == u'-';
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Printable ASCII without the blank, the quotation mark and the characters that are never
// valid in an address and that command lines or handlers treat specially.
bool IsPlainPathUnit(char16_t c) {
    return c > u' ' && c <= u'~' && TextView(u"\"<>\\^`{|}").find(c) == TextView::npos;
}

// Skips the host and optional port at the start of rest; returns how many units they take,
// or npos when there is no host or the port is not 1 to 5 digits.
std::size_t HostAndPortLength(TextView rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsHostUnit(rest[i]))
        ++i;
    if (i == 0)
        return TextView::npos;
    if (i < rest.size() && rest[i] == u':') {
        std::size_t digits = 0;
        while (i + 1 + digits < rest.size() && IsDigit(rest[i + 1 + digits]))
            ++digits;
        if (digits == 0 || digits > 5)
            return TextView::npos;
        i += 1 + digits;
    }
    return i;
}

bool IsScheme(TextView text) {
    if (text.empty() || IsDigit(text[0]))
        return false;
    for (char16_t c : text)
        if (!IsAsciiLetterOrDigit(c) && c != u'+' && c != u'-' && c != u'.')
            return false;
    return true;
}

// At most maxNamedUnits units, each printable ASCII or "?", "..." where it was cut.
Text Printable(TextView text) {
    Text shown;
    for (std::size_t i = 0; i < text.size() && i < maxNamedUnits; ++i)
        shown += text[i] >= u' ' && text[i] <= u'~' ? text[i] : u'?';
    if (text.size() > maxNamedUnits)
        shown += u"...";
    return shown.empty() ? Text(u"(none)") : shown;
}

} // namespace

bool IsPlainWebAddress(TextView address) {
    if (address.size() > maxAddressUnits)
        return false;
    TextView rest;
    if (address.starts_with(u"http://"))
        rest = address.substr(7);
    else if (address.starts_with(u"https://"))
        rest = address.substr(8);
    else
        return false;
    const std::size_t hostLength = HostAndPortLength(rest);
    if (hostLength == TextView::npos)
        return false;
    rest.remove_prefix(hostLength);
    if (rest.empty())
        return true;
    if (TextView(u"/?#").find(rest[0]) == TextView::npos)
        return false;
    for (char16_t c : rest.substr(1))
        if (!IsPlainPathUnit(c))
            return false;
    return true;
}

bool IsPlainFtpHost(TextView host) {
    return HostAndPortLength(host) == host.size();
}

Text RefusedAddressMessage(TextView webAppUrl) {
    // The scheme is the text before the first ":" when it looks like one; the host follows
    // "//" (either slash) up to the path, query or fragment, without any user information.
    TextView scheme;
    TextView rest = webAppUrl;
    const std::size_t colon = webAppUrl.find(u':');
    if (colon != TextView::npos && IsScheme(webAppUrl.substr(0, colon))) {
        scheme = webAppUrl.substr(0, colon);
        rest = webAppUrl.substr(colon + 1);
    }
    TextView host;
    const auto isSlash = [](char16_t c) { return c == u'/' || c == u'\\'; };
    if (rest.size() >= 2 && isSlash(rest[0]) && isSlash(rest[1])) {
        host = rest.substr(2);
        host = host.substr(0, host.find_first_of(u"/\\?#"));
        const std::size_t at = host.rfind(u'@');
        if (at != TextView::npos)
            host.remove_prefix(at + 1);
    }
    return UserTexts::refusedAddress + Printable(scheme) + UserTexts::refusedAddressHost +
           Printable(host);
}

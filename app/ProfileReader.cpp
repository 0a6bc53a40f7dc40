#include "app/ProfileReader.h"

#include <string>

namespace {

// A value holds at most this many units, as the platform's reader fills a buffer of 4096.
constexpr std::size_t maximumValueLength = 4095;

bool IsBlank(char16_t unit) {
    // Ctrl-Z too: old editors end text files with it.
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r') || unit == 0x1A;
}

TextView Trimmed(TextView text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(TextView a, TextView b) {
    const auto lower = [](char16_t unit) {
        return unit >= u'A' && unit <= u'Z' ? char16_t(unit - u'A' + u'a') : unit;
    };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// Lines end at LF; a file without any LF from here on ends its lines at CR, so files from
// old Macintosh editors read too.
TextView NextLine(TextView& rest) {
    std::size_t end = rest.find(u'\n');
    if (end == TextView::npos)
        end = rest.find(u'\r');
    const TextView line = rest.substr(0, end);
    rest.remove_prefix(end == TextView::npos ? rest.size() : end + 1);
    return line;
}

// The section's name when line (trimmed) is a section line: "[", the name, and the last "]"
// of the line; what follows that "]" is ignored. A line without "]" is read as a key.
bool IsSectionLine(TextView line, TextView& name) {
    if (line.empty() || line.front() != u'[')
        return false;
    const std::size_t close = line.rfind(u']');
    if (close == 0 || close == TextView::npos)
        return false;
    name = Trimmed(line.substr(1, close - 1));
    return true;
}

Text ProfileValue(TextView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return Text(value.substr(0, maximumValueLength));
}

} // namespace

Text RedirectHostKey(std::size_t index) {
    return u"Host" + Widen(std::to_string(index + 1));
}

RedirectHosts RedirectHostsFromProfile(std::string_view fileBytes) {
    if (fileBytes.starts_with("\xEF\xBB\xBF"))
        fileBytes.remove_prefix(3);
    const Text text = FromUtf8(fileBytes);
    RedirectHosts hosts;
    bool found[std::tuple_size_v<RedirectHosts>] = {};
    // Only the first RedirectHosts section counts: -1 before it, 0 in it, 1 after it.
    int place = -1;
    for (TextView rest = text; !rest.empty() && place <= 0;) {
        const TextView line = Trimmed(NextLine(rest));
        TextView name;
        if (line.empty())
            continue;
        if (IsSectionLine(line, name)) {
            if (place == 0 || SameName(name, redirectHostsSection))
                ++place;
            continue;
        }
        if (place != 0)
            continue;
        // A key line: the name up to the first "=", the value after it. A name without "="
        // is a key without a value, and still hides a later key of the same name.
        const std::size_t equals = line.find(u'=');
        const TextView key = Trimmed(line.substr(0, equals));
        for (std::size_t i = 0; i < hosts.size(); ++i) {
            if (found[i] || !SameName(key, RedirectHostKey(i)))
                continue;
            found[i] = true;
            if (equals != TextView::npos)
                hosts[i] = ProfileValue(Trimmed(line.substr(equals + 1)));
        }
    }
    return hosts;
}

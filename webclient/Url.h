#pragma once

#include "common/Secret.h"
#include "common/Text.h"

#include <cstdint>
#include <optional>

// Splitting and encoding of the service's request addresses. Pure functions over UTF-16;
// every search is an exact, case-sensitive comparison of code units.

// The host part: after a leading "http://" or "https://", the text before the first "/"
// (the whole rest when there is none or it comes first). A port stays part of the host.
Text HostFromUrl(TextView url);

// The path with its query: after the scheme, the text from the first "/" on (that "/"
// at position 1 or later), else empty. A view into url: the query may hold a secret.
TextView PathFromUrl(TextView url);

// Percent-encodes the characters of the program's escape table, in table order, percent
// sign first. Modifies value in place and returns a copy of the result.
Text UrlEncode(Text& value);

// The cache-busting pair for url: "&rand=N" when the whole url holds a "?", else "?rand=N".
Text CacheBustingPair(TextView url, int number);

// A path (with the pair appended) split at its first "?": the request object before it,
// the form text after it; no form text when there is no "?". Views into path.
struct RequestSplit {
    TextView object;
    std::optional<TextView> form;
};
RequestSplit SplitRequest(TextView path);

// A value made safe for a form body: UTF-8, every byte outside A-Z a-z 0-9 - . _ ~ as %XX
// in upper case. Plain letters and digits are unchanged. The value may be a password, so the
// result is a secret and no other copy is made on the way.
SecretText FormEncode(TextView value);

// Where an exchange connects: the host name without an explicit ":port", the port (that
// port, else 443 for "https://" and 80 otherwise) and whether TLS is used.
struct ConnectTarget {
    Text hostName;
    std::uint16_t port;
    bool secure;
};
ConnectTarget ConnectTargetFromUrl(TextView url);

#pragma once

#include "common/Text.h"
#include "webclient/RedirectHosts.h"

#include <cstddef>
#include <string_view>

// The section and keys that hold the redirect hosts in tarnftp.ini.
inline constexpr char16_t redirectHostsSection[] = u"RedirectHosts";

// "Host1", "Host2", ...: the key of the host at index (from 0) of RedirectHosts.
Text RedirectHostKey(std::size_t index);

// Host1, Host2 and Host3 of section RedirectHosts in the bytes of tarnftp.ini (UTF-8, a
// leading byte-order mark skipped), read with the platform's profile rules: section and key
// names without regard to ASCII case and blanks around them, the first section and the first
// key of a name count, blanks around the value and one pair of enclosing quotes (" or ')
// dropped, at most 4095 units a value; a missing section or key gives an empty host.
RedirectHosts RedirectHostsFromProfile(std::string_view fileBytes);

#pragma once

#include "common/Text.h"

#include <array>

// The configured redirect hosts Host1, Host2 and Host3, asked in this order for the web
// application's address. Any of them may be empty; the list is never compacted.
using RedirectHosts = std::array<Text, 3>;

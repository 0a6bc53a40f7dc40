#pragma once

#include "common/Text.h"
#include "webclient/RedirectHosts.h"

// The path of tarnftp.ini: the executable's folder, a backslash and the file name; empty when
// the path names no folder (an empty path, for one).
Text ProfilePathBeside(const Text& executablePath);

// Host1, Host2 and Host3 of section RedirectHosts, read with the platform's profile rules
// (names without regard to case, blanks around the value and enclosing quotes dropped,
// at most 4095 characters); a missing file, section or key, or an empty path, gives an
// empty host.
RedirectHosts ReadRedirectHosts(const Text& profilePath);

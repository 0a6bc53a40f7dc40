#pragma once

#include <string>

// The user's configuration folder: XDG_CONFIG_HOME when it is an absolute path, else
// HOME/.config when HOME is one; empty when neither is. A relative or empty value counts
// as unset, as the XDG rules say, so no file lands relative to the working folder.
// Either argument may be null (the variable is unset).
std::string ConfigHomeFrom(const char* xdgConfigHome, const char* home);

// The home folder of this process's user in the password database; empty when there is no
// entry or it names no absolute path.
std::string AccountHome();

// ConfigHomeFrom the process's environment, with AccountHome in place of a HOME that is
// unset or not absolute.
std::string ConfigHome();

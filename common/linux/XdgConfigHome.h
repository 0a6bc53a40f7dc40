#pragma once

#include <string>

// The user's configuration folder: XDG_CONFIG_HOME when it is an absolute path, else
// HOME/.config when HOME is one; empty when neither is. A relative or empty value counts
// as unset, as the XDG rules say, so no file lands relative to the working folder.
// Either argument may be null (the variable is unset).
std::string ConfigHomeFrom(const char* xdgConfigHome, const char* home);

// ConfigHomeFrom the process's environment.
std::string ConfigHome();

#pragma once

#include "webclient/RedirectHosts.h"

#include <cstddef>
#include <string>
#include <vector>

// Where tarnftp.ini is looked for, in this order: beside the executable, in the user's
// configuration folder (common/linux/XdgConfigHome.h) under tarnftp/, and in /etc/tarnftp/.
// A place whose folder is unknown (an empty executable folder or configuration folder) is
// left out.
std::vector<std::string> ConfigFileCandidates(const std::string& executableFolder,
                                              const std::string& configHome);

// The hosts of the first candidate that opens as a regular file (links followed) which nobody
// but root and the user may change: the open file, the folder it is named in and the folder it
// really lies in must be owned by one of them and writable by neither group nor others. The
// checks look at the file that was opened, and that file is what is read, so that a link
// swapped meanwhile cannot bring in another file. Another candidate is passed over. The first
// one taken wins whole, and the later candidates are not looked at. A file that is taken but
// cannot be read (no permission, a failing read, longer than maxConfigFileBytes) gives empty
// hosts, as a missing file does, without falling through to the next candidate. No candidate
// taken: empty hosts.
RedirectHosts ReadFirstConfigFile(const std::vector<std::string>& candidates);
inline constexpr std::size_t maxConfigFileBytes = 1024 * 1024;

// What the user is told when no host is configured: where tarnftp.ini belongs, the
// candidates one a line.
Text NoRedirectHostText(const std::vector<std::string>& candidates);

// The folder of the running executable (/proc/self/exe); empty when it cannot be told.
std::string ExecutableFolder();

// ConfigFileCandidates of this process.
std::vector<std::string> ConfiguredCandidates();

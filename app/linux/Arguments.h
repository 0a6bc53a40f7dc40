#pragma once

#include <cstdint>

// The launch mode of the command line's arguments (argv[1] onwards), joined with single
// blanks and decoded from UTF-8 (a malformed sequence becomes U+FFFD). Called with main's own
// arguments, before the application object removes the toolkit's options from them.
std::int32_t LaunchModeFromArgv(int argc, char** argv);

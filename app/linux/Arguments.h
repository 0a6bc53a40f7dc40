#pragma once

#include "app/LaunchMode.h"

// The launch mode of the command line's arguments (argv[1] onwards), joined with single
// blanks and decoded from UTF-8 (a malformed sequence becomes U+FFFD). Called with main's own
// arguments, before the application object removes the toolkit's options from them.
LaunchMode LaunchModeFromArgv(int argc, char** argv);

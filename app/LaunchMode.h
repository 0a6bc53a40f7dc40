#pragma once

#include "common/Text.h"

#include <cstdint>

// The arguments text as the start-up code hands it over: the command line less the
// program's own name (up to and including the closing quotation mark when the line
// begins with one, otherwise up to the first character of code 32 or less) and less the
// characters of code 1 to 32 that follow it.
Text ArgumentsText(TextView commandLine);

// LaunchMode: the first UTF-16 unit after leading blanks and tabs, minus the code of the
// digit zero; -48 for an empty or all-blank arguments text. 2, 3 and 4 select web pages.
std::int32_t LaunchModeFromArguments(TextView arguments);

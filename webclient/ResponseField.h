#pragma once

#include "common/Text.h"

#include <cstddef>

// The value of a named field in a service answer: the text after the first occurrence of
// name at or after start, less one separator character, up to the first "</p>" or "</P>".
// Empty when the name or the end marker is missing. A view into response, which may hold a
// secret (the session id).
TextView GetResponseField(TextView response, TextView name, std::size_t start = 0);

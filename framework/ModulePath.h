#pragma once

#include "common/Text.h"

// The running executable's full path, from a buffer of MAX_PATH characters (a longer path
// comes back cut by the platform).
Text ModulePath();

#pragma once

#include "common/Text.h"

// The running executable's full path; empty when the system cannot give it whole (never a
// path cut short, which could name another folder).
Text ModulePath();

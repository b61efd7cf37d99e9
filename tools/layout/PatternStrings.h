// PatternStrings: reads texts 144-149 from the supplementary string table, as
// setup will decode them, so that checks use what the payload really carries.
#pragma once

#include <string>

#include "tools/layout/Patterns.h"

// False with `error` when a text is missing or is not upper-case hex byte pairs.
bool ReadPatternStrings(const std::string& path, LayoutPatterns* patterns, std::string* error);

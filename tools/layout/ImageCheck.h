// ImageCheck: verifies built layout images against the patterns setup will
// search for: each found exactly once, exactly where its table starts.
#pragma once

#include <string>
#include <vector>

#include "tools/layout/LayoutTables.h"
#include "tools/layout/Patterns.h"

// Checks one image of `tables`'s variant. Appends one line per fault to
// `faults` ("image: pattern 145 found 2 times") and returns true when there is none.
bool CheckImagePatterns(const std::string& imageName, const std::string& image, const LayoutTables& tables,
                        const LayoutPatterns& patterns, std::vector<std::string>* faults);

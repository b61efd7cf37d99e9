// ExpectationsWriter: a C++ header of ExpectedLayout records, one per variant,
// that the Windows test of the built images compares the images with.
#pragma once

#include <string>
#include <vector>

#include "tools/layout/LayoutTables.h"

// `images` names each variant's image file, in the order of `tables`.
std::string ExpectationsHeader(const std::vector<LayoutTables>& tables, const std::vector<std::string>& images);

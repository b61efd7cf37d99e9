// Writes the payload image as a C++ source that defines kPayloadStore, the
// program's view of the stored entries, and PayloadKeyParameters. The map
// stays out of it.
#pragma once

#include <string>

#include "tools/payload/PayloadImage.h"

std::string PayloadSource(const PayloadImage& image);

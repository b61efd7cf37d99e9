// CSourceWriter: the C source of a layout library: its tables and the exported
// KbdLayerDescriptor that returns them.
#pragma once

#include <string>

#include "tools/layout/LayoutTables.h"

std::string LayoutLibrarySource(const LayoutTables& tables, const std::string& definitionName);

// JsonWriter: the description of one variant that the documents are drawn from:
// every key that types something, with its characters per level, and the dead keys.
#pragma once

#include <string>

#include "tools/layout/LayoutDefinition.h"

std::string LayoutJson(const LayoutDefinition& definition);

// Utf8: the UTF-8 decoding and encoding the layout tool needs for definition
// files and its outputs.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Decodes well-formed UTF-8 into code points; false on any malformed sequence.
bool DecodeUtf8(const std::string& text, std::vector<uint32_t>* out);

// Appends the UTF-8 form of a code point.
void AppendUtf8(uint32_t ch, std::string* out);

// HexText: the bytes of a text of upper-case hexadecimal digit pairs (the
// patterns that locate tables in a layout image).
#pragma once

#include <stdint.h>

// Decodes `length` characters of `digits`, two per byte; an odd final
// character is not part of any pair and is ignored. Upper-case digits only:
// the texts are made that way, and anything else means a damaged table.
// Returns an owned block (FreeBlock) and its size in `count`, or null (count
// 0) for fewer than two characters or any character outside 0-9 and A-F.
uint8_t* DecodeHexText(const char* digits, int32_t length, uint32_t& count);

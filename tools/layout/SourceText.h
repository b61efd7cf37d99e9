// SourceText: small helpers the layout tool's writers share: C string
// literals of UTF-16 text and hex numbers.
#pragma once

#include <stdint.h>

#include <string>

// A wide C literal of the text: L"Esc", L"\x00B4" L"acute" (escapes end their piece,
// so that a following hex letter is never read into the escape).
std::string WideLiteral(const std::u16string& text);

std::string HexNumber(uint32_t value, int digits);

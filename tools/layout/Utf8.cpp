// Utf8: strict UTF-8 decoding (no overlongs, surrogates or values past U+10FFFF)
// and encoding for the layout tool.
#include "tools/layout/Utf8.h"

bool DecodeUtf8(const std::string& text, std::vector<uint32_t>* out) {
  out->clear();
  size_t i = 0;
  while (i < text.size()) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    int extra;
    uint32_t ch, min;
    if (b < 0x80) { extra = 0; ch = b; min = 0; }
    else if ((b & 0xE0) == 0xC0) { extra = 1; ch = b & 0x1F; min = 0x80; }
    else if ((b & 0xF0) == 0xE0) { extra = 2; ch = b & 0x0F; min = 0x800; }
    else if ((b & 0xF8) == 0xF0) { extra = 3; ch = b & 0x07; min = 0x10000; }
    else return false;
    if (i + extra >= text.size() && extra > 0) return false;  // truncated sequence
    for (int k = 1; k <= extra; ++k) {
      uint8_t c = static_cast<uint8_t>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      ch = (ch << 6) | (c & 0x3F);
    }
    if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return false;
    out->push_back(ch);
    i += extra + 1;
  }
  return true;
}

void AppendUtf8(uint32_t ch, std::string* out) {
  if (ch < 0x80) {
    out->push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (ch >> 6)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else if (ch < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (ch >> 18)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

// UTF-8 <-> UTF-16 conversion of counted texts.
#include "text/Utf8.h"

#include <string.h>

namespace {

inline WChar LoadUnit(const WChar* units, int32_t i) {
  // Units may come straight from a packed record, so they need not be aligned.
  WChar u;
  memcpy(&u, units + i, sizeof u);
  return u;
}

inline bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

int64_t Utf8EncodedSize(const WChar* units, int32_t count) {
  int64_t size = 0;
  for (int32_t i = 0; i < count; ++i) {
    uint16_t u = LoadUnit(units, i);
    size += u < 0x80 ? 1 : (u < 0x800 ? 2 : 3);
  }
  return size;
}

void EncodeUtf8(const WChar* units, int32_t count, char* out) {
  uint8_t* p = reinterpret_cast<uint8_t*>(out);
  for (int32_t i = 0; i < count; ++i) {
    uint16_t u = LoadUnit(units, i);
    if (u < 0x80) {
      *p++ = static_cast<uint8_t>(u);
    } else if (u < 0x800) {
      *p++ = static_cast<uint8_t>(0xC0 | (u >> 6));
      *p++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
    } else {
      *p++ = static_cast<uint8_t>(0xE0 | (u >> 12));
      *p++ = static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F));
      *p++ = static_cast<uint8_t>(0x80 | (u & 0x3F));
    }
  }
}

int32_t Utf8SequenceCount(const char* bytes, int32_t count) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes);
  int32_t sequences = 0;
  int32_t i = 0;
  while (i < count) {
    uint8_t lead = p[i];
    int32_t size;
    if (lead < 0x80) size = 1;
    else if ((lead & 0xE0) == 0xC0) size = 2;
    else if ((lead & 0xF0) == 0xE0) size = 3;
    else if ((lead & 0xF8) == 0xF0) size = 4;
    else break;
    ++sequences;
    i += size;
  }
  return sequences;
}

int32_t DecodeUtf8(const char* bytes, int32_t count, WChar* out) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes);
  int32_t written = 0;
  int32_t i = 0;
  while (i < count) {
    uint8_t lead = p[i];
    uint16_t unit;
    if (lead < 0x80) {
      unit = lead;
      i += 1;
    } else if ((lead & 0xE0) == 0xC0) {
      if (count - i < 2 || !IsContinuation(p[i + 1])) return -1;
      unit = static_cast<uint16_t>(((lead & 0x1F) << 6) | (p[i + 1] & 0x3F));
      i += 2;
    } else if ((lead & 0xF0) == 0xE0) {
      if (count - i < 3 || !IsContinuation(p[i + 1]) || !IsContinuation(p[i + 2])) return -1;
      unit = static_cast<uint16_t>(((lead & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                   (p[i + 2] & 0x3F));
      i += 3;
    } else {
      return -1;  // a continuation byte, or a four-byte lead and above
    }
    WChar w = static_cast<WChar>(unit);
    memcpy(out + written, &w, sizeof w);
    ++written;
  }
  return written;
}

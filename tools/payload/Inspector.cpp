// The inspector: deciphers each entry step by step so that a failure says
// which check failed, then lists string tables on request.
#include "tools/payload/Inspector.h"

#include <stdio.h>

#include <algorithm>

#include "payload/Blowfish.h"
#include "payload/Crc32.h"
#include "payload/PackedEntry.h"
#include "text/WString.h"
#include "tools/payload/KeyMaterial.h"

namespace {

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + static_cast<size_t>(i)]);
  return v;
}

// Checks one packed entry; fills `plain` and `tag` on success, else `problem`.
bool VerifyEntry(const std::string& key, const std::string& stored, std::string* plain,
                 PackedHeader* header, std::string* problem) {
  if (stored.size() < kPackedHeaderSize || stored.size() % 8 != 0) {
    *problem = "stored length " + std::to_string(stored.size()) + " is not whole blocks";
    return false;
  }
  std::string clear(stored.size(), '\0');
  BlowfishCipher cipher;
  cipher.setKey(reinterpret_cast<const uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
  cipher.decryptBuffer(reinterpret_cast<const uint8_t*>(stored.data()),
                       reinterpret_cast<uint8_t*>(&clear[0]), static_cast<uint32_t>(stored.size()));
  *header = ReadPackedHeader(reinterpret_cast<const uint8_t*>(clear.data()));
  if (header->storedLength != stored.size()) {
    *problem = "header length does not match (wrong key or damaged)";
    return false;
  }
  if (header->packedLength > stored.size() - kPackedHeaderSize) {
    *problem = "packed length runs past the entry";
    return false;
  }
  const uint8_t* data = reinterpret_cast<const uint8_t*>(clear.data()) + kPackedHeaderSize;
  if (crc32(uint32_t{0}, data, header->packedLength) != header->packedCrc) {
    *problem = "CRC of the packed data does not match";
    return false;
  }
  for (size_t i = kPackedHeaderSize + header->packedLength; i < clear.size(); ++i) {
    if (clear[i] != 0) {
      *problem = "padding after the data is not zero";
      return false;
    }
  }
  plain->assign(header->plainLength + 2, '\0');
  int64_t produced = InflateRaw(reinterpret_cast<uint8_t*>(&(*plain)[0]), header->plainLength,
                                data, header->packedLength);
  if (produced != header->plainLength) {
    *problem = "data does not inflate to the plain length";
    return false;
  }
  plain->resize(header->plainLength);
  if (crc32(uint32_t{0}, reinterpret_cast<const uint8_t*>(plain->data()), header->plainLength) !=
      header->plainCrc) {
    *problem = "CRC of the plain data does not match";
    return false;
  }
  return true;
}

std::string Escaped(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    if (u == '\\') out += "\\\\";
    else if (u == '"') out += "\\\"";
    else if (u == '\n') out += "\\n";
    else if (u == '\r') out += "\\r";
    else if (u == '\t') out += "\\t";
    else if (u < 0x20 || (u >= 0xD800 && u <= 0xDFFF)) {
      char cell[8];
      snprintf(cell, sizeof cell, "\\u%04X", static_cast<unsigned>(u));
      out += cell;
    } else if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

// Checks the table's structure; prints its records when `print`.
bool CheckTable(const std::string& plain, uint32_t count, bool print, std::string* problem) {
  uint64_t indexBytes = 8ull * count;
  if (count == 0 || indexBytes > plain.size()) {
    *problem = "index larger than the entry";
    return false;
  }
  size_t area = static_cast<size_t>(indexBytes);
  uint32_t previous = 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t id = Le32(plain, 8 * i);
    uint64_t offset = Le32(plain, 8 * i + 4);
    if (i > 0 && id <= previous) {
      *problem = "ids not in ascending order at record " + std::to_string(i);
      return false;
    }
    previous = id;
    if (area + offset + 4 > plain.size()) {
      *problem = "record of id " + std::to_string(id) + " lies outside the entry";
      return false;
    }
    uint32_t header = Le32(plain, area + static_cast<size_t>(offset));
    bool narrow = (header & 0x80000000u) != 0;
    uint64_t units = header & 0x1FFFFFFFu;
    uint64_t bytes = units * (narrow ? 1 : 2);
    size_t first = area + static_cast<size_t>(offset) + 4;
    if (first + bytes > plain.size()) {
      *problem = "text of id " + std::to_string(id) + " runs past the entry";
      return false;
    }
    if (!print) continue;
    // Narrow texts are UTF-8: decode them the way the program does.
    WString text;
    if (narrow) {
      text.AssignNarrowAsWide(plain.data() + first, static_cast<int32_t>(units), 0);
    } else {
      text.AssignWide(reinterpret_cast<const WChar*>(plain.data() + first), static_cast<int32_t>(units));
    }
    std::u16string shown(text.WideAt(0), static_cast<size_t>(text.Length()));
    printf("  %u %s \"%s\"\n", id, narrow ? "utf8" : "utf16", Escaped(shown).c_str());
  }
  return true;
}

bool IsStringTable(uint32_t id) { return id >= 1 && id <= 4; }

}  // namespace

int InspectPayload(const PayloadImage& image, const InspectOptions& options) {
  int failures = 0;
  std::string key;
  for (const PayloadEntry& entry : image.entries) {
    if (entry.id == kEntryKeyBlock) {
      if (entry.bytes.size() != static_cast<size_t>(kKeyBlockSize)) {
        printf("key block: %zu bytes, expected %d: FAILED\n", entry.bytes.size(), kKeyBlockSize);
        return 1;
      }
      key = KeyOf(entry.bytes, image.parameters);
      printf("key block: %d bytes, key window at %d\n", kKeyBlockSize, image.parameters.keyOffset);
    }
  }
  if (key.empty()) {
    printf("no key block: FAILED\n");
    return 1;
  }
  for (const PayloadEntry& entry : image.entries) {
    if (entry.id == kEntryKeyBlock) continue;
    std::string plain;
    PackedHeader header = {};
    std::string problem;
    bool ok = VerifyEntry(key, entry.bytes, &plain, &header, &problem);
    bool print = std::find(options.tablesToPrint.begin(), options.tablesToPrint.end(), entry.id) !=
                 options.tablesToPrint.end();
    if (ok && IsStringTable(entry.id)) ok = CheckTable(plain, header.tag, false, &problem);
    printf("%-32s stored %8zu  plain %8u  packed %8u  tag %5u  %s%s\n", EntryName(entry.id).c_str(),
           entry.bytes.size(), header.plainLength, header.packedLength, header.tag,
           ok ? "OK" : "FAILED: ", problem.c_str());
    if (!ok) ++failures;
    if (ok && print && IsStringTable(entry.id)) CheckTable(plain, header.tag, true, &problem);
  }
  return failures;
}

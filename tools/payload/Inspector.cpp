// The inspector: rebuilds the key and extracts each entry with the program's
// own code (KeyBlock, ExtractCheckedEntry, StringTable), so that it trusts no
// more of a damaged image than the program does and names the check that failed.
// Layout images are then read as the kernel reads them (tools/layoutfile), and
// the images of one variant must hold the same tables in every architecture.
#include "tools/payload/Inspector.h"

#include <algorithm>
#include <map>
#include <string>

#include "payload/KeyBlock.h"
#include "payload/PackedEntry.h"
#include "payload/StringTable.h"
#include "text/LittleEndian.h"
#include "text/Memory.h"
#include "text/WString.h"
#include "tools/layoutfile/LayoutFileReader.h"

namespace {

std::string Problem(EntryCheck failed, size_t storedLength) {
  switch (failed) {
    case kEntryIntact: return "";
    case kEntryNoKey: return "no usable key";
    case kEntryNotWholeBlocks:
      return "stored length " + std::to_string(storedLength) + " is not whole blocks";
    case kEntryNoMemory: return "not enough memory for the entry";
    case kEntryLengthMismatch: return "header length does not match (wrong key or damaged)";
    case kEntryPackedTooLong: return "packed length runs past the entry";
    case kEntryPackedCrc: return "CRC of the packed data does not match";
    case kEntryPaddingNotZero: return "padding after the data is not zero";
    case kEntryNotInflated: return "data does not inflate to the plain length";
    case kEntryPlainCrc: return "CRC of the plain data does not match";
  }
  return "unknown check failed";
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

// Takes `plain` (from extraction) into the program's table reader and loads
// every text as the program does; lists the records in `listing` when it is
// not null. The ascending order is the tool's promise that the bisection
// finds every id.
bool CheckTable(uint8_t* plain, uint32_t length, uint32_t count, std::string* listing,
                std::string* problem) {
  StringTable table;
  if (count > INT32_MAX || !table.attach(plain, static_cast<int32_t>(count), length)) {
    FreeBlock(plain);
    *problem = "index larger than the entry";
    return false;
  }
  WString text;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t id = ReadLittle32(table.index + 8 * static_cast<size_t>(i));
    if (i > 0 && id <= ReadLittle32(table.index + 8 * static_cast<size_t>(i - 1))) {
      *problem = "ids not in ascending order at record " + std::to_string(i);
      return false;
    }
    const uint8_t* record = table.find(id);
    if (record == nullptr) {
      *problem = "record of id " + std::to_string(id) + " lies outside the entry";
      return false;
    }
    if (!text.AssignRecord(record) || text.ToWide(-1) == nullptr) {
      *problem = "text of id " + std::to_string(id) + " does not load";
      return false;
    }
    if (listing != nullptr) {
      std::u16string shown(text.WideAt(0), static_cast<size_t>(text.Length()));
      *listing += "  " + std::to_string(id) + ((ReadLittle32(record) & 0x80000000u) ? " utf8 \"" : " utf16 \"") +
                  Escaped(shown) + "\"\n";
    }
  }
  return true;
}

bool IsStringTable(uint32_t id) { return id >= kEntryCommonTable && id <= kEntryLanguage1Table; }

// Loads the key block entry into `keyBlock`; false (reported) when it is
// missing, of the wrong size, or its key window lies outside it.
bool LoadKey(const PayloadImage& image, KeyBlock* keyBlock, FILE* out) {
  auto found = std::find_if(image.entries.begin(), image.entries.end(),
                            [](const PayloadEntry& e) { return e.id == kEntryKeyBlock; });
  if (found == image.entries.end()) {
    fprintf(out, "no key block: FAILED\n");
    return false;
  }
  const std::string& bytes = found->bytes;
  if (bytes.size() != static_cast<size_t>(kKeyBlockSize) ||
      !keyBlock->loadFromImage(reinterpret_cast<const uint8_t*>(bytes.data()), kKeyBlockSize)) {
    fprintf(out, "key block: %zu bytes, expected %d: FAILED\n", bytes.size(), kKeyBlockSize);
    return false;
  }
  if (keyBlock->key() == nullptr) {
    fprintf(out, "key block: key window at %d lies outside it: FAILED\n", keyBlock->keyOffset);
    return false;
  }
  fprintf(out, "key block: %d bytes, key window at %d\n", kKeyBlockSize, keyBlock->keyOffset);
  return true;
}

// The reader's mode of a layout image slot; false for the IA-64 slots (3, 6, 9),
// which it has no reader for.
bool SlotMode(uint32_t slot, LayoutFileMode* mode) {
  switch (slot) {
    case 0: case 1: case 2: case 5: case 8: case 11: *mode = LayoutFileMode::kX86; return true;
    case 4: case 7: case 10: case 12: *mode = LayoutFileMode::kX64; return true;
    case 13: *mode = LayoutFileMode::kWow64; return true;
    default: return false;
  }
}

struct ReadLayout {
  uint32_t slot;
  std::string text;  // the canonical text of its tables
};

// Reads an extracted layout image in its slot's mode. Its verdict for the
// report line in *verdict; false with *problem when the reader refuses it.
bool CheckLayoutImage(uint32_t variant, uint32_t slot, const std::string& bytes,
                      std::map<uint32_t, std::vector<ReadLayout>>* read, std::string* verdict,
                      std::string* problem) {
  LayoutFileMode mode;
  if (!SlotMode(slot, &mode)) {
    *verdict = ", not read (IA-64)";
    return true;
  }
  LayoutFileTables tables;
  std::string error;
  if (!ReadLayoutFile(bytes, mode, &tables, &error)) {
    *problem = std::string(LayoutFileModeName(mode)) + " layout: " + error;
    return false;
  }
  (*read)[variant].push_back({slot, CanonicalLayoutText(tables)});
  *verdict = std::string(", reads as ") + LayoutFileModeName(mode) + " layout";
  return true;
}

// The first line at which two texts differ, counted from 1.
size_t FirstDifferentLine(const std::string& a, const std::string& b) {
  size_t line = 1;
  for (size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) line += a[i] == '\n';
  return line;
}

// Every read image of a variant against the first: one line and one failure per
// image whose tables differ.
int CompareVariants(const std::map<uint32_t, std::vector<ReadLayout>>& read, FILE* out) {
  int failures = 0;
  for (const auto& variant : read) {
    const ReadLayout& first = variant.second.front();
    LayoutFileMode firstMode = LayoutFileMode::kX86, mode = LayoutFileMode::kX86;
    SlotMode(first.slot, &firstMode);
    for (const ReadLayout& image : variant.second) {
      if (image.text == first.text) continue;
      SlotMode(image.slot, &mode);
      fprintf(out, "layout images of variant %u: slot %u (%s) differs from slot %u (%s) at line %zu: FAILED\n",
              variant.first, image.slot, LayoutFileModeName(mode), first.slot, LayoutFileModeName(firstMode),
              FirstDifferentLine(image.text, first.text));
      ++failures;
    }
  }
  return failures;
}

}  // namespace

int InspectPayload(const PayloadImage& image, const InspectOptions& options) {
  FILE* out = options.out;
  KeyBlock keyBlock(image.parameters);
  if (!LoadKey(image, &keyBlock, out)) return 1;
  int failures = 0;
  std::map<uint32_t, std::vector<ReadLayout>> layouts;  // by variant
  for (const PayloadEntry& entry : image.entries) {
    if (entry.id == kEntryKeyBlock) continue;
    uint32_t length = static_cast<uint32_t>(entry.bytes.size());
    uint32_t tag = 0;
    EntryReport report;
    uint8_t* plain = ExtractCheckedEntry(keyBlock, reinterpret_cast<const uint8_t*>(entry.bytes.data()),
                                         &length, &tag, &report);
    std::string problem = Problem(report.failed, entry.bytes.size());
    bool print = std::find(options.tablesToPrint.begin(), options.tablesToPrint.end(), entry.id) !=
                 options.tablesToPrint.end();
    bool ok = plain != nullptr;
    // A table is checked before its line, and listed after it.
    std::string listing, verdict;
    uint32_t variant = 0, slot = 0;
    if (ok && IsStringTable(entry.id)) {
      ok = CheckTable(plain, length, tag, print ? &listing : nullptr, &problem);
    } else if (ok && LayoutImageSlotOf(entry.id, &variant, &slot)) {
      const std::string bytes(reinterpret_cast<const char*>(plain), length);
      FreeBlock(plain);
      ok = CheckLayoutImage(variant, slot, bytes, &layouts, &verdict, &problem);
    } else {
      FreeBlock(plain);
    }
    const PackedHeader& header = report.header;
    fprintf(out, "%-32s stored %8zu  plain %8u  packed %8u  tag %5u  %s%s\n", EntryName(entry.id).c_str(),
            entry.bytes.size(), header.plainLength, header.packedLength, header.tag,
            ok ? "OK" : "FAILED: ", ok ? verdict.c_str() : problem.c_str());
    if (ok) fputs(listing.c_str(), out);
    if (!ok) ++failures;
  }
  return failures + CompareVariants(layouts, out);
}

// PeFile: the parts of a PE image a layout file reader needs (headers, section
// table, export directory, base relocations), read from the file's bytes with
// every offset checked; nothing is loaded or mapped.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint8_t kRelocationHighLow = 3;
constexpr uint8_t kRelocationDir64 = 10;

struct PeSection {
  std::string name;
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;
  uint32_t rawOffset = 0;
  uint32_t rawSize = 0;
  // Bytes that are both in the file and in the mapped image: a reader of the
  // file and the loader see the same content only there.
  uint32_t UsableSize() const;
};

struct PeDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

struct PeFile {
  uint16_t machine = 0;
  bool plus = false;  // PE32+
  uint64_t imageBase = 0;
  std::vector<PeSection> sections;  // each section's raw data checked to lie in the file
  PeDirectory exports, relocations;
};

// False with `error` when the headers or the section table are damaged or cut short.
bool ParsePeFile(const std::string& bytes, PeFile* pe, std::string* error);

// The section whose usable bytes hold [rva, rva + count); null when none does.
const PeSection* SectionHolding(const PeFile& pe, uint64_t rva, uint64_t count);

// Every base relocation, RVA -> type (padding entries left out).
bool ReadBaseRelocations(const std::string& bytes, const PeFile& pe, std::map<uint32_t, uint8_t>* relocations,
                         std::string* error);

// The RVA of the function exported under `name`.
bool FindExport(const std::string& bytes, const PeFile& pe, const std::string& name, uint32_t* rva,
                std::string* error);

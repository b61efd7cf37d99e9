// DataSectionReader: reads inside the .data section of a layout file only,
// turns pointer fields into RVAs the way the kernel does (value - ImageBase)
// and holds every pointer to the relocation the loader would apply to it.
#pragma once

#include <stdint.h>

#include <map>
#include <set>
#include <string>

#include "tools/layoutfile/LayoutFileMode.h"
#include "tools/layoutfile/PeFile.h"

class DataSectionReader {
 public:
  // `error` receives the message of the first failed read.
  DataSectionReader(const std::string& bytes, const PeFile& pe, const PeSection& data,
                    const std::map<uint32_t, uint8_t>& relocations, LayoutFileMode mode, std::string* error);

  uint32_t PointerSize() const { return mode_ == LayoutFileMode::kX86 ? 4 : 8; }

  // True when [rva, rva + count) lies inside .data; no message.
  bool Holds(uint64_t rva, uint64_t count) const;
  // The file offset of [rva, rva + count); false with a message naming `what`
  // when it lies outside .data.
  bool Take(uint64_t rva, uint64_t count, const std::string& what, uint64_t* offset);
  bool Byte(uint64_t rva, const std::string& what, uint8_t* value);
  bool Word(uint64_t rva, const std::string& what, uint16_t* value);
  bool Dword(uint64_t rva, const std::string& what, uint32_t* value);

  // The pointer field `what` at `fieldRva`: the RVA it points to in *target,
  // or *isNull. A null field is refused unless `nullable`; a non-null one must
  // carry the mode's base relocation (and in wow64 mode a zero high half).
  bool Pointer(uint64_t fieldRva, const std::string& what, bool nullable, uint64_t* target, bool* isNull);
  // A 32-bit VA in code (`what` at `rva`, with its HIGHLOW relocation) as an RVA.
  bool CodeAddress(uint64_t rva, const std::string& what, uint64_t* target);

  // A relocation that no pointer read so far has used; false when there is none.
  bool UnusedRelocation(uint32_t* rva, uint8_t* type) const;

  const std::string& Bytes() const { return bytes_; }
  bool Fail(uint64_t rva, const std::string& what, const std::string& problem);

 private:
  bool UseRelocation(uint64_t rva, uint8_t type, const std::string& what);
  bool ToRva(uint64_t fieldRva, const std::string& what, uint64_t value, uint64_t* target);

  const std::string& bytes_;
  const PeFile& pe_;
  const PeSection& data_;
  const std::map<uint32_t, uint8_t>& relocations_;
  std::set<uint32_t> used_;
  LayoutFileMode mode_;
  std::string* error_;
  uint64_t budget_;  // bytes left to read: overlapping lists cannot make the work grow without end
};

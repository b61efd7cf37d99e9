// DataSectionReader: bounded reads of .data and the pointer rules of each mode.
#include "tools/layoutfile/DataSectionReader.h"

#include "tools/layoutfile/FileBytes.h"

namespace {

std::string RelocationName(uint8_t type) {
  if (type == kRelocationHighLow) return "HIGHLOW";
  if (type == kRelocationDir64) return "DIR64";
  return "type " + std::to_string(type);
}

}  // namespace

DataSectionReader::DataSectionReader(const std::string& bytes, const PeFile& pe, const PeSection& data,
                                     const std::map<uint32_t, uint8_t>& relocations, LayoutFileMode mode,
                                     std::string* error)
    : bytes_(bytes),
      pe_(pe),
      data_(data),
      relocations_(relocations),
      mode_(mode),
      error_(error),
      budget_(16ull * data.UsableSize() + 4096) {}

bool DataSectionReader::Fail(uint64_t rva, const std::string& what, const std::string& problem) {
  *error_ = what + " at RVA " + Hex32(rva) + ": " + problem;
  return false;
}

bool DataSectionReader::Holds(uint64_t rva, uint64_t count) const {
  return rva >= data_.virtualAddress && RangeFits(data_.UsableSize(), rva - data_.virtualAddress, count);
}

bool DataSectionReader::Take(uint64_t rva, uint64_t count, const std::string& what, uint64_t* offset) {
  if (!Holds(rva, count)) {
    const uint64_t start = data_.virtualAddress;
    return Fail(rva, what,
                std::to_string(count) + (count == 1 ? " byte reaches" : " bytes reach") + " outside .data (RVA " +
                    Hex32(start) + " to " + Hex32(start + data_.UsableSize()) + ")");
  }
  if (count > budget_) {
    return Fail(rva, what, "the tables read more than 16 times the size of .data (lists overlap over and over)");
  }
  budget_ -= count;
  *offset = data_.rawOffset + (rva - data_.virtualAddress);
  return true;
}

bool DataSectionReader::Byte(uint64_t rva, const std::string& what, uint8_t* value) {
  uint64_t at = 0;
  if (!Take(rva, 1, what, &at)) return false;
  *value = FileByte(bytes_, at);
  return true;
}

bool DataSectionReader::Word(uint64_t rva, const std::string& what, uint16_t* value) {
  uint64_t at = 0;
  if (!Take(rva, 2, what, &at)) return false;
  *value = File16(bytes_, at);
  return true;
}

bool DataSectionReader::Dword(uint64_t rva, const std::string& what, uint32_t* value) {
  uint64_t at = 0;
  if (!Take(rva, 4, what, &at)) return false;
  *value = File32(bytes_, at);
  return true;
}

bool DataSectionReader::UseRelocation(uint64_t rva, uint8_t type, const std::string& what) {
  auto found = relocations_.find(static_cast<uint32_t>(rva));
  if (rva > 0xFFFFFFFFu || found == relocations_.end()) {
    return Fail(rva, what, "no " + RelocationName(type) + " base relocation");
  }
  if (found->second != type) {
    return Fail(rva, what, "its base relocation is " + RelocationName(found->second) + ", not " + RelocationName(type));
  }
  used_.insert(found->first);
  return true;
}

bool DataSectionReader::ToRva(uint64_t fieldRva, const std::string& what, uint64_t value, uint64_t* target) {
  if (value < pe_.imageBase) {
    return Fail(fieldRva, what, "points to " + Hex32(value) + ", below the image base " + Hex32(pe_.imageBase));
  }
  *target = value - pe_.imageBase;
  return true;
}

bool DataSectionReader::Pointer(uint64_t fieldRva, const std::string& what, bool nullable, uint64_t* target,
                                bool* isNull) {
  uint64_t at = 0;
  if (!Take(fieldRva, PointerSize(), what, &at)) return false;
  const uint64_t value = mode_ == LayoutFileMode::kX64 ? File64(bytes_, at) : File32(bytes_, at);
  if (mode_ == LayoutFileMode::kWow64) {
    const uint32_t high = File32(bytes_, at + 4);
    if (high != 0) return Fail(fieldRva, what, "high half is " + Hex32(high) + ", not 0");
    if (relocations_.count(static_cast<uint32_t>(fieldRva + 4)) != 0) {
      return Fail(fieldRva, what, "its high half carries a base relocation");
    }
  }
  *isNull = value == 0;
  *target = 0;
  if (value == 0) {
    // The loader would add its delta to a relocated null and make it point somewhere.
    if (relocations_.count(static_cast<uint32_t>(fieldRva)) != 0) {
      return Fail(fieldRva, what, "a null pointer carries a base relocation");
    }
    return nullable || Fail(fieldRva, what, "null pointer");
  }
  const uint8_t type = mode_ == LayoutFileMode::kX64 ? kRelocationDir64 : kRelocationHighLow;
  return UseRelocation(fieldRva, type, what) && ToRva(fieldRva, what, value, target);
}

bool DataSectionReader::CodeAddress(uint64_t rva, const std::string& what, uint64_t* target) {
  uint32_t value = 0;
  return Dword(rva, what, &value) && UseRelocation(rva, kRelocationHighLow, what) &&
         ToRva(rva, what, value, target);
}

bool DataSectionReader::UnusedRelocation(uint32_t* rva, uint8_t* type) const {
  for (const auto& relocation : relocations_) {
    if (used_.count(relocation.first) == 0) {
      *rva = relocation.first;
      *type = relocation.second;
      return true;
    }
  }
  return false;
}

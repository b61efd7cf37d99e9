// PeFile: header, section table, export and base relocation parsing. Every
// field read from the file is range-checked before it is used as an offset.
#include "tools/layoutfile/PeFile.h"

#include "tools/layoutfile/FileBytes.h"

namespace {

constexpr uint64_t kDosHeaderSize = 0x40;
constexpr uint64_t kFileHeaderSize = 20;
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint64_t kExportDirectorySize = 40;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kExportDirectoryIndex = 0;
constexpr uint32_t kRelocationDirectoryIndex = 5;

// File offset of [rva, rva + count), which must lie in one section's usable bytes.
bool FileRange(const PeFile& pe, uint64_t rva, uint64_t count, uint64_t* offset) {
  const PeSection* section = SectionHolding(pe, rva, count);
  if (section == nullptr) return false;
  *offset = section->rawOffset + (rva - section->virtualAddress);
  return true;
}

bool ReadSections(const std::string& bytes, uint64_t at, uint32_t count, PeFile* pe, std::string* error) {
  if (!RangeFits(bytes.size(), at, count * kSectionHeaderSize)) {
    *error = "section table at " + Hex32(at) + " runs past the end of the file";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i, at += kSectionHeaderSize) {
    PeSection section;
    for (uint64_t c = 0; c < 8 && FileByte(bytes, at + c) != 0; ++c) section.name.push_back(bytes[at + c]);
    section.virtualSize = File32(bytes, at + 8);
    section.virtualAddress = File32(bytes, at + 12);
    section.rawSize = File32(bytes, at + 16);
    section.rawOffset = File32(bytes, at + 20);
    if (!RangeFits(bytes.size(), section.rawOffset, section.rawSize)) {
      *error = "section " + section.name + ": raw data at " + Hex32(section.rawOffset) + " (" +
               std::to_string(section.rawSize) + " bytes) runs past the end of the file";
      return false;
    }
    pe->sections.push_back(section);
  }
  return true;
}

// Compares the NUL-terminated name at `rva` with `name` without reading past either.
bool NameAt(const std::string& bytes, const PeFile& pe, uint32_t rva, const std::string& name) {
  uint64_t at = 0;
  if (!FileRange(pe, rva, name.size() + 1, &at)) return false;
  return bytes.compare(at, name.size(), name) == 0 && FileByte(bytes, at + name.size()) == 0;
}

}  // namespace

uint32_t PeSection::UsableSize() const {
  return virtualSize != 0 && virtualSize < rawSize ? virtualSize : rawSize;
}

bool ParsePeFile(const std::string& bytes, PeFile* pe, std::string* error) {
  *pe = PeFile();
  if (bytes.size() < kDosHeaderSize || bytes[0] != 'M' || bytes[1] != 'Z') {
    *error = "no DOS header (not a PE file, or cut short)";
    return false;
  }
  const uint64_t nt = File32(bytes, 0x3C);
  if (!RangeFits(bytes.size(), nt, 4 + kFileHeaderSize) || bytes.compare(nt, 4, std::string("PE\0\0", 4)) != 0) {
    *error = "no PE signature at " + Hex32(nt) + " (damaged or cut short)";
    return false;
  }
  const uint64_t fileHeader = nt + 4;
  pe->machine = File16(bytes, fileHeader);
  const uint16_t sectionCount = File16(bytes, fileHeader + 2);
  const uint16_t optionalSize = File16(bytes, fileHeader + 16);
  const uint64_t optional = fileHeader + kFileHeaderSize;
  if (optionalSize < 2 || !RangeFits(bytes.size(), optional, optionalSize)) {
    *error = "optional header at " + Hex32(optional) + " runs past the end of the file";
    return false;
  }
  const uint16_t magic = File16(bytes, optional);
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
    *error = "optional header magic " + Hex32(magic) + " is neither PE32 nor PE32+";
    return false;
  }
  pe->plus = magic == kMagicPe32Plus;
  const uint64_t countField = pe->plus ? 108 : 92;
  if (optionalSize < countField + 4) {
    *error = "optional header of " + std::to_string(optionalSize) + " bytes is too short";
    return false;
  }
  pe->imageBase = pe->plus ? File64(bytes, optional + 24) : File32(bytes, optional + 28);
  const uint64_t directories = countField + 4;
  const uint64_t directoryCount = File32(bytes, optional + countField);
  PeDirectory* wanted[] = {&pe->exports, &pe->relocations};
  const uint32_t indexes[] = {kExportDirectoryIndex, kRelocationDirectoryIndex};
  for (int i = 0; i < 2; ++i) {
    const uint64_t entry = directories + 8 * static_cast<uint64_t>(indexes[i]);
    if (indexes[i] >= directoryCount || entry + 8 > optionalSize) continue;
    wanted[i]->rva = File32(bytes, optional + entry);
    wanted[i]->size = File32(bytes, optional + entry + 4);
  }
  return ReadSections(bytes, optional + optionalSize, sectionCount, pe, error);
}

const PeSection* SectionHolding(const PeFile& pe, uint64_t rva, uint64_t count) {
  for (const PeSection& section : pe.sections) {
    if (rva >= section.virtualAddress && RangeFits(section.UsableSize(), rva - section.virtualAddress, count)) {
      return &section;
    }
  }
  return nullptr;
}

bool ReadBaseRelocations(const std::string& bytes, const PeFile& pe, std::map<uint32_t, uint8_t>* relocations,
                         std::string* error) {
  relocations->clear();
  const PeDirectory& directory = pe.relocations;
  if (directory.size == 0) return true;
  uint64_t at = 0;
  if (!FileRange(pe, directory.rva, directory.size, &at)) {
    *error = "base relocation directory at RVA " + Hex32(directory.rva) + " lies outside the sections";
    return false;
  }
  const uint64_t end = at + directory.size;
  while (at < end) {
    if (end - at < 8) {
      *error = "base relocation directory ends inside a block header";
      return false;
    }
    const uint32_t page = File32(bytes, at);
    const uint32_t blockSize = File32(bytes, at + 4);
    if (blockSize < 8 || blockSize > end - at) {
      *error = "base relocation block of page " + Hex32(page) + " has size " + std::to_string(blockSize);
      return false;
    }
    for (uint64_t entry = at + 8; entry + 2 <= at + blockSize; entry += 2) {
      const uint16_t value = File16(bytes, entry);
      const uint8_t type = static_cast<uint8_t>(value >> 12);
      if (type == 0) continue;  // padding
      const uint64_t rva = static_cast<uint64_t>(page) + (value & 0xFFFu);
      if (rva > 0xFFFFFFFFu || !relocations->emplace(static_cast<uint32_t>(rva), type).second) {
        *error = "base relocation at RVA " + Hex32(rva) + " is out of range or given twice";
        return false;
      }
    }
    at += blockSize;
  }
  return true;
}

bool FindExport(const std::string& bytes, const PeFile& pe, const std::string& name, uint32_t* rva,
                std::string* error) {
  const PeDirectory& directory = pe.exports;
  uint64_t at = 0;
  if (directory.rva == 0 || !FileRange(pe, directory.rva, kExportDirectorySize, &at)) {
    *error = "no export directory inside the sections";
    return false;
  }
  const uint32_t functionCount = File32(bytes, at + 20);
  const uint32_t nameCount = File32(bytes, at + 24);
  uint64_t functions = 0, names = 0, ordinals = 0;
  if (!FileRange(pe, File32(bytes, at + 28), 4ull * functionCount, &functions) ||
      !FileRange(pe, File32(bytes, at + 32), 4ull * nameCount, &names) ||
      !FileRange(pe, File32(bytes, at + 36), 2ull * nameCount, &ordinals)) {
    *error = "export tables lie outside the sections";
    return false;
  }
  for (uint32_t i = 0; i < nameCount; ++i) {
    if (!NameAt(bytes, pe, File32(bytes, names + 4ull * i), name)) continue;
    const uint16_t index = File16(bytes, ordinals + 2ull * i);
    if (index >= functionCount) {
      *error = "export " + name + " has function index " + std::to_string(index) + " past the function table";
      return false;
    }
    *rva = File32(bytes, functions + 4ull * index);
    if (*rva >= directory.rva && *rva - directory.rva < directory.size) {
      *error = "export " + name + " is forwarded to another library";
      return false;
    }
    return true;
  }
  *error = "no export named " + name;
  return false;
}

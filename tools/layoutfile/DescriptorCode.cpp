// DescriptorCode: matches the descriptor's bytes against the mode's forms.
#include "tools/layoutfile/DescriptorCode.h"

#include <stdio.h>

#include "tools/layoutfile/FileBytes.h"

namespace {

constexpr uint32_t kLongestForm = 8;
constexpr uint32_t kLeaLength = 7;  // 48 8D 05 disp32: RIP is the address after it
const char kWhat[] = "KbdLayerDescriptor code";

struct CodeForm {
  uint8_t bytes[kLongestForm];
  uint32_t length;
  uint32_t immediate;  // offset of the 4 bytes that may be anything
};

const CodeForm kX86Forms[] = {{{0xB8, 0, 0, 0, 0, 0xC3}, 6, 1}};
const CodeForm kX64Forms[] = {{{0x48, 0x8D, 0x05, 0, 0, 0, 0, 0xC3}, 8, 3}};
const CodeForm kWow64Forms[] = {{{0xB8, 0, 0, 0, 0, 0x31, 0xD2, 0xC3}, 8, 1},
                                {{0xB8, 0, 0, 0, 0, 0x33, 0xD2, 0xC3}, 8, 1},
                                {{0xB8, 0, 0, 0, 0, 0x99, 0xC3}, 7, 1}};

const char* FormText(LayoutFileMode mode) {
  switch (mode) {
    case LayoutFileMode::kX86: return "B8 imm32 C3";
    case LayoutFileMode::kX64: return "48 8D 05 disp32 C3";
    case LayoutFileMode::kWow64: return "B8 imm32 31 D2 C3 (or 33 D2, or 99)";
  }
  return "";
}

bool Matches(const std::string& bytes, uint64_t at, uint32_t available, const CodeForm& form) {
  if (form.length > available) return false;
  for (uint32_t i = 0; i < form.length; ++i) {
    if (i >= form.immediate && i < form.immediate + 4) continue;
    if (FileByte(bytes, at + i) != form.bytes[i]) return false;
  }
  return true;
}

}  // namespace

bool TablesRvaFromDescriptor(DataSectionReader* data, LayoutFileMode mode, uint32_t functionRva, uint64_t* tablesRva) {
  uint64_t at = 0;
  if (!data->Take(functionRva, 1, kWhat, &at)) return false;
  uint32_t available = kLongestForm;
  while (!data->Holds(functionRva, available)) --available;
  const CodeForm* forms =
      mode == LayoutFileMode::kX86 ? kX86Forms : mode == LayoutFileMode::kX64 ? kX64Forms : kWow64Forms;
  const size_t formCount = mode == LayoutFileMode::kWow64 ? 3 : 1;
  const std::string& bytes = data->Bytes();
  const CodeForm* matched = nullptr;
  for (size_t i = 0; i < formCount && matched == nullptr; ++i) {
    if (Matches(bytes, at, available, forms[i])) matched = &forms[i];
  }
  if (matched == nullptr) {
    std::string shown;
    for (uint32_t i = 0; i < available; ++i) {
      char cell[4];
      snprintf(cell, sizeof cell, "%02X", FileByte(bytes, at + i));
      shown += (i ? " " : "") + std::string(cell);
    }
    return data->Fail(functionRva, kWhat,
                      shown + " is not the " + LayoutFileModeName(mode) + " form " + FormText(mode));
  }
  if (mode != LayoutFileMode::kX64) return data->CodeAddress(functionRva + 1ull, kWhat, tablesRva);
  const int32_t displacement = static_cast<int32_t>(File32(bytes, at + matched->immediate));
  const int64_t target = static_cast<int64_t>(functionRva) + kLeaLength + displacement;
  if (target < 0) return data->Fail(functionRva, kWhat, "lea points below the image");
  *tablesRva = static_cast<uint64_t>(target);
  return true;
}

// LayoutDefinition: one variant of the layout as its definition file states it,
// and the parser that reads such a file (errors name the file and the line).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Columns of a key's characters, in the definition's order.
enum Level { kBase, kShift, kAltGr, kShiftAltGr, kCtrl, kShiftCtrl, kLevelCount };

struct Cell {
  uint32_t ch = 0;     // code point; meaningful when present
  bool present = false;
  bool dead = false;   // a dead key whose accent is ch
};

struct KeyDefinition {
  uint16_t scan = 0;       // 0x01-0x7F, 0xE0xx or 0xE1xx
  uint16_t tableCode = 0;  // what the scan-code table holds: code and flags
  uint8_t charVk = 0;      // the code whose characters these are
  Cell cells[kLevelCount];
  bool keypad = false;
  int line = 0;
};

struct KeyName {
  uint16_t scan = 0;
  std::string name;  // UTF-8
};

struct DeadKeyDefinition {
  uint32_t accent = 0;
  std::string name;
  std::vector<std::pair<uint32_t, uint32_t>> combinations;  // base, composed
  int line = 0;
};

struct LayoutDefinition {
  std::string path;
  int variant = -1;
  std::string name;
  bool altGr = false;
  std::vector<KeyDefinition> keys;  // file order
  std::vector<KeyName> names;
  std::vector<KeyName> extendedNames;
  std::vector<DeadKeyDefinition> deadKeys;
};

// Parses `text` (the file's content; `path` names it in errors). Returns true
// and fills `out`, or false with `error` as "path:line: message".
bool ParseLayoutDefinition(const std::string& path, const std::string& text, LayoutDefinition* out,
                           std::string* error);

// Reads and parses a definition file.
bool ReadLayoutDefinition(const std::string& path, LayoutDefinition* out, std::string* error);

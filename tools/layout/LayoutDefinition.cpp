// LayoutDefinition: the parser of definition files. Every malformed or
// contradictory line is refused with its file and line, never guessed at.
#include "tools/layout/LayoutDefinition.h"

#include <stdio.h>
#include <stdlib.h>

#include "tools/layout/Utf8.h"
#include "tools/layout/VirtualKeys.h"

namespace {

enum Section { kHeader, kKeys, kKeypad, kNames, kExtendedNames, kDead };

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// The text after the first `skip` words, with its outer spaces trimmed.
std::string RestOfLine(const std::string& line, int skip) {
  size_t i = 0;
  for (int w = 0; w < skip; ++w) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  }
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  size_t end = line.size();
  while (end > i && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return line.substr(i, end - i);
}

bool ParseHex(const std::string& text, uint32_t* value) {
  if (text.empty() || text.size() > 6) return false;
  char* end = nullptr;
  unsigned long v = strtoul(text.c_str(), &end, 16);
  if (*end != '\0') return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

// "1E" (plain, 01-7E), "E01C" or "E11D".
bool ParseScan(const std::string& text, uint16_t* scan) {
  uint32_t value;
  if (!ParseHex(text, &value)) return false;
  if (text.size() == 2 && value >= 0x01 && value <= 0x7E) {
    *scan = static_cast<uint16_t>(value);
    return true;
  }
  if (text.size() == 4 && (value >> 8) >= 0xE0 && (value >> 8) <= 0xE1 && (value & 0xFF) != 0) {
    *scan = static_cast<uint16_t>(value);
    return true;
  }
  return false;
}

// One character: itself, U+XXXX, or "--" for none (when allowed).
bool ParseCharacter(const std::string& token, uint32_t* ch, std::string* why) {
  std::vector<uint32_t> points;
  if (token.size() > 2 && token[0] == 'U' && token[1] == '+') {
    if (!ParseHex(token.substr(2), ch) || token.size() < 6) {
      *why = "\"" + token + "\" is not a U+XXXX character";
      return false;
    }
  } else if (!DecodeUtf8(token, &points) || points.size() != 1) {
    *why = "\"" + token + "\" is not one character (write U+XXXX, or -- for none)";
    return false;
  } else {
    *ch = points[0];
  }
  if (*ch > 0xFFFF || (*ch >= 0xD800 && *ch <= 0xDFFF)) {
    *why = "\"" + token + "\" is outside the characters a layout table can hold (U+0000-U+FFFF)";
    return false;
  }
  if (*ch >= 0xF000 && *ch <= 0xF002) {
    *why = "\"" + token + "\" is a code the layout tables reserve as a marker";
    return false;
  }
  return true;
}

bool ParseCell(const std::string& token, Cell* cell, std::string* why) {
  if (token == "--") return true;
  std::string body = token;
  if (token.size() > 1 && token[0] == '*') {
    cell->dead = true;
    body = token.substr(1);
  }
  if (!ParseCharacter(body, &cell->ch, why)) return false;
  if (cell->dead && cell->ch == 0) {
    *why = "a dead key needs an accent other than U+0000";
    return false;
  }
  cell->present = true;
  return true;
}

// "RSHIFT+ext": the code with its table flags.
bool ParseTableCode(const std::string& token, uint16_t* code, std::string* why) {
  size_t plus = token.find('+');
  std::string name = token.substr(0, plus);
  uint8_t vk;
  if (!VirtualKeyFromName(name, &vk)) {
    *why = "unknown virtual key \"" + name + "\"";
    return false;
  }
  uint16_t flags = 0;
  while (plus != std::string::npos) {
    size_t next = token.find('+', plus + 1);
    std::string flag = token.substr(plus + 1, next == std::string::npos ? std::string::npos : next - plus - 1);
    if (flag == "ext") flags |= 0x100;
    else if (flag == "multivk") flags |= 0x200;
    else if (flag == "special") flags |= 0x400;
    else if (flag == "numpad") flags |= 0x800;
    else {
      *why = "unknown flag \"+" + flag + "\" (ext, multivk, special, numpad)";
      return false;
    }
    plus = next;
  }
  *code = static_cast<uint16_t>(vk | flags);
  return true;
}

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "%02X", value);
  return text;
}

class Parser {
 public:
  Parser(const std::string& path, LayoutDefinition* out, std::string* error)
      : path_(path), out_(out), error_(error) {}

  bool Line(const std::string& raw, int number) {
    line_ = number;
    std::string line = RestOfLine(raw, 0);
    if (line.empty() || line[0] == '#') return true;
    if (line[0] == '[') return SectionLine(line);
    std::vector<std::string> words = SplitWords(line);
    switch (section_) {
      case kHeader: return HeaderLine(words, line);
      case kKeys: return KeyLine(words, false);
      case kKeypad: return KeyLine(words, true);
      case kNames: return NameLine(words, line, false);
      case kExtendedNames: return NameLine(words, line, true);
      case kDead: return DeadLine(words);
    }
    return true;
  }

  bool Finish() {
    line_ = 0;
    if (out_->variant < 0) return Fail("no \"variant\" line");
    if (out_->name.empty()) return Fail("no \"name\" line");
    if (out_->keys.empty()) return Fail("no [keys] section");
    // Every dead cell needs its accent's combinations, and every list a key.
    for (const KeyDefinition& key : out_->keys) {
      for (const Cell& cell : key.cells) {
        if (cell.dead && FindDead(cell.ch) == nullptr) {
          line_ = key.line;
          return Fail("dead key U+" + Hex(cell.ch) + " has no [dead] section");
        }
      }
    }
    for (const DeadKeyDefinition& dead : out_->deadKeys) {
      bool used = false;
      for (const KeyDefinition& key : out_->keys) {
        for (const Cell& cell : key.cells) used = used || (cell.dead && cell.ch == dead.accent);
      }
      line_ = dead.line;
      if (!used) return Fail("no key types the dead key of this section");
      if (dead.combinations.empty()) return Fail("this dead key has no combinations");
    }
    return true;
  }

 private:
  bool Fail(const std::string& message) {
    *error_ = path_ + (line_ > 0 ? ":" + std::to_string(line_) : std::string()) + ": " + message;
    return false;
  }

  const DeadKeyDefinition* FindDead(uint32_t accent) const {
    for (const DeadKeyDefinition& dead : out_->deadKeys) {
      if (dead.accent == accent) return &dead;
    }
    return nullptr;
  }

  bool SectionLine(const std::string& line) {
    if (line.back() != ']') return Fail("a section line ends with ]");
    std::string inner = line.substr(1, line.size() - 2);
    std::vector<std::string> words = SplitWords(inner);
    if (words.size() == 1 && words[0] == "keys") section_ = kKeys;
    else if (words.size() == 1 && words[0] == "keypad") section_ = kKeypad;
    else if (words.size() == 1 && words[0] == "names") section_ = kNames;
    else if (words.size() == 1 && words[0] == "names-ext") section_ = kExtendedNames;
    else if (words.size() >= 3 && words[0] == "dead") {
      DeadKeyDefinition dead;
      std::string why;
      if (!ParseCharacter(words[1], &dead.accent, &why)) return Fail(why);
      if (FindDead(dead.accent) != nullptr) return Fail("a second [dead] section for " + words[1]);
      dead.name = RestOfLine(inner, 2);
      dead.line = line_;
      out_->deadKeys.push_back(dead);
      section_ = kDead;
    } else {
      return Fail("unknown section " + line + " (keys, keypad, names, names-ext, dead ACCENT NAME)");
    }
    return true;
  }

  bool HeaderLine(const std::vector<std::string>& words, const std::string& line) {
    if (words[0] == "variant" && words.size() == 2) {
      if (words[1] != "0" && words[1] != "1" && words[1] != "2") return Fail("variant is 0, 1 or 2");
      out_->variant = words[1][0] - '0';
    } else if (words[0] == "name" && words.size() >= 2) {
      out_->name = RestOfLine(line, 1);
    } else if (words[0] == "flags") {
      for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] != "altgr") return Fail("unknown flag \"" + words[i] + "\" (altgr)");
        out_->altGr = true;
      }
    } else {
      return Fail("expected \"variant N\", \"name TEXT\" or \"flags altgr\" before the first section");
    }
    return true;
  }

  bool KeyLine(const std::vector<std::string>& words, bool keypad) {
    KeyDefinition key;
    key.line = line_;
    key.keypad = keypad;
    std::string why;
    if (!ParseScan(words[0], &key.scan)) return Fail("\"" + words[0] + "\" is not a scan code (01-7E, E0xx, E1xx)");
    for (const KeyDefinition& other : out_->keys) {
      if (other.scan == key.scan) return Fail("scan code " + words[0] + " is already defined on line " + std::to_string(other.line));
    }
    size_t first = 2;
    if (words.size() < 2) return Fail("a key needs its virtual key");
    if (!ParseTableCode(words[1], &key.tableCode, &why)) return Fail(why);
    key.charVk = static_cast<uint8_t>(key.tableCode & 0xFF);
    if (keypad) {
      if (key.scan > 0x7E) return Fail("keypad keys have plain scan codes");
      if (words.size() < 3) return Fail("a keypad key needs its code without and with NumLock");
      if (key.tableCode > 0xFF) return Fail("keypad codes take no flags; the tool adds them");
      key.tableCode |= 0xC00;  // special + numpad: NumLock chooses between the two codes
      if (!VirtualKeyFromName(words[2], &key.charVk)) return Fail("unknown virtual key \"" + words[2] + "\"");
      first = 3;
      if (words.size() > first + 2) return Fail("a keypad key has at most two characters (base, shift)");
    }
    if (words.size() > first + kLevelCount) return Fail("too many characters (at most six columns)");
    for (size_t i = first; i < words.size(); ++i) {
      if (!ParseCell(words[i], &key.cells[i - first], &why)) return Fail(why);
    }
    // Keys sharing a code share its one row of characters.
    bool hasCharacters = false;
    for (const Cell& cell : key.cells) hasCharacters = hasCharacters || cell.present;
    for (const KeyDefinition& other : out_->keys) {
      bool otherHas = false;
      for (const Cell& cell : other.cells) otherHas = otherHas || cell.present;
      if (other.charVk != key.charVk || !hasCharacters || !otherHas) continue;
      for (int l = 0; l < kLevelCount; ++l) {
        const Cell& a = key.cells[l];
        const Cell& b = other.cells[l];
        if (a.present != b.present || a.dead != b.dead || (a.present && a.ch != b.ch)) {
          return Fail("virtual key " + VirtualKeyName(key.charVk) + " already has other characters on line " +
                      std::to_string(other.line));
        }
      }
    }
    out_->keys.push_back(key);
    return true;
  }

  bool NameLine(const std::vector<std::string>& words, const std::string& line, bool extended) {
    KeyName name;
    if (!ParseScan(words[0], &name.scan) || (extended != (name.scan > 0xFF)) || name.scan > 0xE0FF) {
      return Fail(extended ? "[names-ext] takes E0xx scan codes" : "[names] takes plain scan codes (01-7E)");
    }
    name.name = RestOfLine(line, 1);
    std::vector<uint32_t> points;
    if (name.name.empty()) return Fail("a key name is missing");
    if (!DecodeUtf8(name.name, &points)) return Fail("the name is not valid UTF-8");
    std::vector<KeyName>& list = extended ? out_->extendedNames : out_->names;
    for (const KeyName& other : list) {
      if (other.scan == name.scan) return Fail("scan code " + words[0] + " already has a name");
    }
    list.push_back(name);
    return true;
  }

  bool DeadLine(const std::vector<std::string>& words) {
    if (words.size() % 2 != 0) return Fail("dead-key combinations come in pairs: letter result");
    DeadKeyDefinition& dead = out_->deadKeys.back();
    for (size_t i = 0; i < words.size(); i += 2) {
      uint32_t base, composed;
      std::string why;
      if (!ParseCharacter(words[i], &base, &why) || !ParseCharacter(words[i + 1], &composed, &why)) return Fail(why);
      for (const auto& pair : dead.combinations) {
        if (pair.first == base) return Fail("\"" + words[i] + "\" already has a combination with this accent");
      }
      dead.combinations.push_back({base, composed});
    }
    return true;
  }

  std::string path_;
  LayoutDefinition* out_;
  std::string* error_;
  Section section_ = kHeader;
  int line_ = 0;
};

}  // namespace

bool ParseLayoutDefinition(const std::string& path, const std::string& text, LayoutDefinition* out,
                           std::string* error) {
  *out = LayoutDefinition();
  out->path = path;
  Parser parser(path, out, error);
  size_t start = 0;
  int number = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!parser.Line(line, ++number)) return false;
    start = end + 1;
  }
  return parser.Finish();
}

bool ReadLayoutDefinition(const std::string& path, LayoutDefinition* out, std::string* error) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = path + ": cannot read";
    return false;
  }
  std::string text;
  char buffer[8192];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  fclose(file);
  return ParseLayoutDefinition(path, text, out, error);
}

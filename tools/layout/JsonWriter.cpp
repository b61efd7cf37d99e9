// JsonWriter: writes {"variant", "name", "keys", "deadKeys"}; levels are base,
// Shift, AltGr, Shift+AltGr, with "" where a level types nothing printable.
#include "tools/layout/JsonWriter.h"

#include <stdio.h>

#include "tools/layout/Utf8.h"

namespace {

const Level kJsonLevels[4] = {kBase, kShift, kAltGr, kShiftAltGr};

bool Printable(uint32_t ch) { return ch >= 0x20 && ch != 0x7F && !(ch >= 0x80 && ch < 0xA0); }

void AppendJsonString(const std::string& utf8, std::string* out) {
  out->push_back('"');
  for (char c : utf8) {
    uint8_t b = static_cast<uint8_t>(c);
    if (c == '"' || c == '\\') {
      out->push_back('\\');
      out->push_back(c);
    } else if (b < 0x20) {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04X", b);
      *out += escape;
    } else {
      out->push_back(c);
    }
  }
  out->push_back('"');
}

std::string Character(uint32_t ch) {
  std::string text;
  AppendUtf8(ch, &text);
  return text;
}

// The key's name when the layout names it ("Space", "Num 7"), else its capital.
std::string Label(const LayoutDefinition& definition, const KeyDefinition& key) {
  const std::vector<KeyName>& names = key.scan > 0xFF ? definition.extendedNames : definition.names;
  for (const KeyName& name : names) {
    if (name.scan == key.scan) return name.name;
  }
  const Cell& base = key.cells[kBase];
  const Cell& shift = key.cells[kShift];
  if (base.ch >= 'a' && base.ch <= 'z') return Character(base.ch - 0x20);
  if (shift.present && !shift.dead && base.present && base.ch >= 0xE0 && shift.ch == base.ch - 0x20) return Character(shift.ch);
  return base.present ? Character(base.ch) : std::string();
}

}  // namespace

std::string LayoutJson(const LayoutDefinition& definition) {
  std::string out = "{\"variant\": " + std::to_string(definition.variant) + ", \"name\": ";
  AppendJsonString(definition.name, &out);
  out += ",\n \"keys\": [";
  bool firstKey = true;
  for (const KeyDefinition& key : definition.keys) {
    bool any = false;
    for (Level level : kJsonLevels) any = any || (key.cells[level].present && Printable(key.cells[level].ch));
    if (!any) continue;
    out += firstKey ? "\n  " : ",\n  ";
    firstKey = false;
    out += "{\"scan\": " + std::to_string(key.scan) + ", \"vk\": " + std::to_string(key.charVk) + ", \"label\": ";
    AppendJsonString(Label(definition, key), &out);
    out += ", \"levels\": [";
    std::string dead;
    for (int i = 0; i < 4; ++i) {
      const Cell& cell = key.cells[kJsonLevels[i]];
      bool shown = cell.present && Printable(cell.ch);
      out += i ? ", " : "";
      AppendJsonString(shown ? Character(cell.ch) : std::string(), &out);
      dead += std::string(i ? ", " : "") + (shown && cell.dead ? "true" : "false");
    }
    out += "], \"dead\": [" + dead + "]}";
  }
  out += "],\n \"deadKeys\": [";
  for (size_t d = 0; d < definition.deadKeys.size(); ++d) {
    const DeadKeyDefinition& dead = definition.deadKeys[d];
    out += d ? ",\n  " : "\n  ";
    out += "{\"accent\": ";
    AppendJsonString(Character(dead.accent), &out);
    out += ", \"name\": ";
    AppendJsonString(dead.name, &out);
    out += ", \"combinations\": [";
    for (size_t i = 0; i < dead.combinations.size(); ++i) {
      out += i ? ", [" : "[";
      AppendJsonString(Character(dead.combinations[i].first), &out);
      out += ", ";
      AppendJsonString(Character(dead.combinations[i].second), &out);
      out += "]";
    }
    out += "]}";
  }
  out += "]}\n";
  return out;
}

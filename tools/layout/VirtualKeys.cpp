// VirtualKeys: a table of the Windows virtual-key names a layout needs; letters
// and digits stand for themselves.
#include "tools/layout/VirtualKeys.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

struct NamedKey {
  const char* name;
  uint8_t code;
};

const NamedKey kKeys[] = {
    {"CANCEL", 0x03}, {"BACK", 0x08}, {"TAB", 0x09}, {"CLEAR", 0x0C}, {"RETURN", 0x0D},
    {"SHIFT", 0x10}, {"CONTROL", 0x11}, {"MENU", 0x12}, {"PAUSE", 0x13}, {"CAPITAL", 0x14},
    {"ESCAPE", 0x1B}, {"SPACE", 0x20}, {"PRIOR", 0x21}, {"NEXT", 0x22}, {"END", 0x23},
    {"HOME", 0x24}, {"LEFT", 0x25}, {"UP", 0x26}, {"RIGHT", 0x27}, {"DOWN", 0x28},
    {"SNAPSHOT", 0x2C}, {"INSERT", 0x2D}, {"DELETE", 0x2E}, {"HELP", 0x2F},
    {"LWIN", 0x5B}, {"RWIN", 0x5C}, {"APPS", 0x5D}, {"SLEEP", 0x5F},
    {"NUMPAD0", 0x60}, {"NUMPAD1", 0x61}, {"NUMPAD2", 0x62}, {"NUMPAD3", 0x63},
    {"NUMPAD4", 0x64}, {"NUMPAD5", 0x65}, {"NUMPAD6", 0x66}, {"NUMPAD7", 0x67},
    {"NUMPAD8", 0x68}, {"NUMPAD9", 0x69}, {"MULTIPLY", 0x6A}, {"ADD", 0x6B},
    {"SEPARATOR", 0x6C}, {"SUBTRACT", 0x6D}, {"DECIMAL", 0x6E}, {"DIVIDE", 0x6F},
    {"NUMLOCK", 0x90}, {"SCROLL", 0x91}, {"LSHIFT", 0xA0}, {"RSHIFT", 0xA1},
    {"LCONTROL", 0xA2}, {"RCONTROL", 0xA3}, {"LMENU", 0xA4}, {"RMENU", 0xA5},
    {"BROWSER_BACK", 0xA6}, {"BROWSER_FORWARD", 0xA7}, {"BROWSER_REFRESH", 0xA8},
    {"BROWSER_STOP", 0xA9}, {"BROWSER_SEARCH", 0xAA}, {"BROWSER_FAVORITES", 0xAB},
    {"BROWSER_HOME", 0xAC}, {"VOLUME_MUTE", 0xAD}, {"VOLUME_DOWN", 0xAE}, {"VOLUME_UP", 0xAF},
    {"MEDIA_NEXT_TRACK", 0xB0}, {"MEDIA_PREV_TRACK", 0xB1}, {"MEDIA_STOP", 0xB2},
    {"MEDIA_PLAY_PAUSE", 0xB3}, {"LAUNCH_MAIL", 0xB4}, {"LAUNCH_MEDIA_SELECT", 0xB5},
    {"LAUNCH_APP1", 0xB6}, {"LAUNCH_APP2", 0xB7}, {"OEM_1", 0xBA}, {"OEM_PLUS", 0xBB},
    {"OEM_COMMA", 0xBC}, {"OEM_MINUS", 0xBD}, {"OEM_PERIOD", 0xBE}, {"OEM_2", 0xBF},
    {"OEM_3", 0xC0}, {"ABNT_C1", 0xC1}, {"ABNT_C2", 0xC2}, {"OEM_4", 0xDB}, {"OEM_5", 0xDC},
    {"OEM_6", 0xDD}, {"OEM_7", 0xDE}, {"OEM_8", 0xDF}, {"OEM_102", 0xE2}, {"OEM_PA1", 0xEB},
    {"NONE", 0xFF},
};

}  // namespace

bool VirtualKeyFromName(const std::string& name, uint8_t* code) {
  if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
    *code = static_cast<uint8_t>(name[0]);
    return true;
  }
  if (name.size() >= 3 && name.size() <= 4 && name[0] == '0' && name[1] == 'x') {
    char* end = nullptr;
    unsigned long value = strtoul(name.c_str() + 2, &end, 16);
    if (*end != '\0' || value == 0 || value > 0xFF) return false;
    *code = static_cast<uint8_t>(value);
    return true;
  }
  if (name.size() >= 2 && name[0] == 'F') {
    char* end = nullptr;
    unsigned long n = strtoul(name.c_str() + 1, &end, 10);
    if (*end == '\0' && n >= 1 && n <= 24) {
      *code = static_cast<uint8_t>(0x70 + n - 1);
      return true;
    }
  }
  for (const NamedKey& key : kKeys) {
    if (name == key.name) {
      *code = key.code;
      return true;
    }
  }
  return false;
}

std::string VirtualKeyName(uint8_t code) {
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return std::string(1, static_cast<char>(code));
  if (code >= 0x70 && code <= 0x87) return "F" + std::to_string(code - 0x70 + 1);
  for (const NamedKey& key : kKeys) {
    if (key.code == code) return key.name;
  }
  char hex[8];
  snprintf(hex, sizeof hex, "0x%02X", code);
  return hex;
}

// LayoutExpectation: what a layout image must contain, as kestrel-layout derives
// it from a definition (the generated LayoutExpectations.h fills these records).
#pragma once

#include <stdint.h>

struct ExpectedScanVk {
  uint8_t scan;
  uint16_t code;  // code with its KBDEXT/KBDSPECIAL/KBDNUMPAD flags
};

struct ExpectedChars {
  uint8_t vk;
  uint8_t attributes;  // CAPLOK, CAPLOKALTGR
  uint16_t cells[6];   // per column: a character, WCH_NONE or WCH_DEAD
  uint16_t accents[6];  // the accent of each WCH_DEAD cell, else 0
};

struct ExpectedDead {
  uint16_t accent, base, composed;
};

struct ExpectedName {
  uint8_t scan;
  const wchar_t* text;
};

struct ExpectedLayout {
  int variant;
  const char* image;  // file name of the built image
  const uint16_t* scanTable;
  int scanTableLength;
  const ExpectedScanVk* e0;
  int e0Count;
  const ExpectedScanVk* e1;
  int e1Count;
  const ExpectedChars* chars;  // one row per virtual key that types something
  int charCount;
  int charTableCount;
  const ExpectedDead* dead;
  int deadCount;
  const ExpectedName* names;
  int nameCount;
  const ExpectedName* extendedNames;
  int extendedNameCount;
  const wchar_t* const* deadNames;  // accent followed by the name
  int deadNameCount;
  uint32_t localeFlags;
  const uint8_t* modifierColumns;  // 8 entries, by Shift/Ctrl/Alt bits
};

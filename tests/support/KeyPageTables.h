// The key-assignment page as the tests expect it, written out independently of
// the product's tables: its 14 keys and the codes of its item table (row 0,
// "none chosen", is never offered).
#pragma once

#include <stdint.h>

constexpr uint16_t kPageKeys[] = {0x2A,   0x36,   0x1D,   0xE01D, 0x38, 0xE038, 0xE05B,
                                  0xE05C, 0xE05D, 0x56,   0x0F,   0x3A, 0x46,   0x45};
constexpr uint16_t kPageCodes[] = {0xFF,  0x20,  0xA0,  0x1A1, 0xA2,  0x1A3, 0xA4,
                                   0x1A5, 0x15B, 0x15C, 0x15D, 0xE2,  0x1B,  0xC0,
                                   0x09,  0x14,  0x91,  0x90,  0x12D, 0x12E, 0x124,
                                   0x123, 0x121, 0x122, 0x2C,  0x13};
constexpr int kPageKeyCount = sizeof(kPageKeys) / sizeof(kPageKeys[0]);
constexpr int kPageCodeCount = sizeof(kPageCodes) / sizeof(kPageCodes[0]);

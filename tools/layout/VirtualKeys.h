// VirtualKeys: the names of Windows virtual-key codes that definition files use
// (the VK_ constants without their prefix), in both directions.
#pragma once

#include <stdint.h>

#include <string>

// The code of a name ("OEM_4", "A", "7", "0x5E"); false for an unknown name.
bool VirtualKeyFromName(const std::string& name, uint8_t* code);

// The name of a code, or its hex form when it has none.
std::string VirtualKeyName(uint8_t code);

// The key block and its rebuild parameters, made from the seed kept in the
// repository, and the key they give through the program's own rebuild steps.
#pragma once

#include <stdint.h>

#include <string>

#include "payload/KeyBlock.h"

struct KeyMaterial {
  std::string storedBlock;  // kKeyBlockSize scrambled bytes, as compiled in
  KeyBlockParameters parameters;
  std::string key;          // kKeyLength bytes: the window of the rebuilt block
};

// From a seed text: its hexadecimal digits, outside lines that start with "#".
// False when the seed has fewer than 16 hexadecimal digits.
bool MakeKeyMaterial(const std::string& seed, KeyMaterial* out);
// The key of an existing stored block and its parameters (for the inspector).
std::string KeyOf(const std::string& storedBlock, const KeyBlockParameters& parameters);

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

// What keeps `parameters` from scrambling the key bytes the cipher's schedule
// reads (the first 72 of the key window): "" when both moves, the mask and its
// position each change them, else a sentence naming the step that does not.
// A program whose steps never touch those bytes decodes the same with a broken
// step, so no test of the real payload could see the fault.
std::string RebuildWeakness(const std::string& storedBlock, const KeyBlockParameters& parameters);

// From a seed text: its hexadecimal digits, outside lines that start with "#".
// Parameters are drawn until RebuildWeakness finds nothing. False with `error`
// (when not null) when the seed has fewer than 16 hexadecimal digits or no
// draw passes.
bool MakeKeyMaterial(const std::string& seed, KeyMaterial* out, std::string* error = nullptr);

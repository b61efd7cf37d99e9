// The three rearranging steps that turn the stored key block into the rebuilt
// one. The program and the payload tool share them, so both agree on the key.
#pragma once

#include <stdint.h>

#include "payload/KeyBlock.h"

// Copies `count` bytes from `source` to `destination` inside the block, safely
// for overlapping ranges, clamped to the end of the block; does nothing when an
// index lies outside it.
void MoveKeyBytes(uint8_t* block, int32_t size, int32_t destination, int32_t source,
                  int32_t count);
// XORs `count` bytes from `start` with the byte at `position` (read once),
// clamped to the end of the block; does nothing when an index lies outside it.
void MaskKeyBytes(uint8_t* block, int32_t size, int32_t start, int32_t count, int32_t position);
// Move step A, move step B, then the mask step.
void RebuildKeyBlock(uint8_t* block, int32_t size, const KeyBlockParameters& parameters);

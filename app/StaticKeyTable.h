// The static key table: the 144 keys the key pages offer, in scan-code order,
// with their default virtual-key codes and display-name ids, then two closing rows.
#pragma once

#include <stdint.h>

#include "setup/rules/KeyRow.h"

constexpr int32_t kStaticKeyRowCount = 146;

// Row 144 has scan code 0 and keyNumber 152; row 145 is all zero.
// Declared without a bound so that the definition's own length is checked
// against kStaticKeyRowCount.
extern const KeyRow StaticKeyTable[];

// Reading of a hexadecimal number the way the wide scanf format "%X" reads
// one field, without depending on the runtime's scanf.
#pragma once

#include <stdint.h>

#include "text/WChar.h"

// Skips leading white space, takes an optional sign and an optional 0x/0X
// prefix, then as many hexadecimal digits as follow (either case); anything
// after them is ignored. The value wraps modulo 2^32 and a minus sign negates
// it, as strtoul does. A "0x" without digits after it reads as the number 0.
// 1 = one field read, *value holds it; 0 = no digit (null, empty, white
// space only, or no digit after the sign), *value unchanged.
int ReadHexNumber(const WChar* text, uint32_t* value);

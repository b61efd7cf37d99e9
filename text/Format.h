// Format: printf-like formatting into a wide WString, with the conversions,
// flags and layout rules of this program (see FormatSpec.h for the syntax).
#pragma once

#include "text/FormatArguments.h"
#include "text/WString.h"

// Makes `target` wide and empty, then appends the formatted text.
// 1 = done; 0 = null target or format, or a conversion failed (the text
// formatted before the failing conversion stays in `target`).
int Format(WString* target, const WChar* format, ...);

// The engine behind Format and WString::AppendFormatV: appends to a wide
// `target`, taking arguments from `arguments`. Same results as above.
int AppendFormatted(WString* target, const WChar* format, FormatArguments* arguments);

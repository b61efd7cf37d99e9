// CanonicalText: the tables as text, contents only (no addresses, no pointer
// values, no padding), so the x86, x64 and wow64 images of one definition
// print the same bytes. One item a line, numbers in upper-case hex of fixed
// width unless called a count (decimal); each list's count line comes first:
//
//   modifiers COUNT                  then COUNT lines: modifier VK BITS
//   columns MAXMODBITS C0 C1 ...     wMaxModBits and the ModNumber bytes
//   scan COUNT                       then one line per code: scan SC CODE
//   e0 COUNT / e1 COUNT              then: e0 SC CODE / e1 SC CODE
//   chartables COUNT                 then per table: chars INDEX width W rows COUNT
//                                    and its rows: row VK ATTR CELL...
//   deadkeys COUNT | deadkeys null   then: dead ACCENT BASE COMPOSED FLAGS
//   names COUNT / namesext COUNT     then: name SC "TEXT" / nameext SC "TEXT"
//   deadnames COUNT | deadnames null then: deadname "TEXT"
//   locale FLAGS
//   ligatures COUNT|null max NLGMAX entry CBLGENTRY   then: ligature VK MOD CELL...
//   type TYPE SUBTYPE
//
// VK, SC, ATTR, BITS, C, NLGMAX, CBLGENTRY: 2 digits; CODE, CELL, ACCENT, BASE,
// COMPOSED, FLAGS, MOD, MAXMODBITS: 4; FLAGS of locale, TYPE, SUBTYPE: 8.
// TEXT: printable ASCII as itself except \" and \\, every other UTF-16 unit \uXXXX.
#pragma once

#include <string>

#include "tools/layoutfile/LayoutFileTables.h"

std::string CanonicalLayoutText(const LayoutFileTables& tables);

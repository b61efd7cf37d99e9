// LayoutFileReader: reads a keyboard-layout library's tables from the file's
// bytes the way Windows' kernel-mode input code does, without loading or
// running anything: the section named .data, the export KbdLayerDescriptor,
// the address of KBDTABLES from that function's machine code, then every table
// from .data, each pointer field turned into an RVA as (value - ImageBase).
//
// It refuses, naming what and where:
//   - headers, section table, export directory or base relocations that are
//     damaged or run past the end of the file; no .data section (or two);
//     a Machine or PE32/PE32+ form other than the mode's; no such export;
//   - descriptor code outside .data or not exactly the mode's form
//     (tools/layoutfile/DescriptorCode.h);
//   - any object (table, list, text, with its closing record or NUL) not wholly
//     inside .data's bytes in the file and in the mapped image, so a list
//     without its end is refused at the end of .data;
//   - a non-null pointer field without the mode's base relocation, a null
//     one with a relocation, a null where the kernel needs a table (all but
//     pDeadKey, pKeyNamesDead and pLigature), a wow64 slot with a non-zero
//     high half; any base relocation that lies on no pointer the tables hold
//     (the loader would change bytes the kernel reads unchanged);
//   - a character table whose cbSize is not 2 + 2 * nModifications, ligature
//     records whose cbLgEntry is not 4 + 2 * nLgMax;
//   - tables that read more than 16 times .data's size (overlapping lists).
#pragma once

#include <string>

#include "tools/layoutfile/CanonicalText.h"
#include "tools/layoutfile/LayoutFileMode.h"
#include "tools/layoutfile/LayoutFileTables.h"

// True with `tables` filled; false with `error` naming the fault.
bool ReadLayoutFile(const std::string& bytes, LayoutFileMode mode, LayoutFileTables* tables, std::string* error);

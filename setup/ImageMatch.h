// ImageMatch: whether a file holds exactly the image the loader mapped, byte
// for byte, so that a copy of it is the program that is running.
#pragma once

#include <windows.h>

#include <stdint.h>

// Reads the whole file behind `file` (from its start, moving its pointer) and
// compares it with the image mapped at `module`:
// - the headers, all but the ImageBase field, which the loader rewrites;
// - every section's raw data, with the base relocations the loader applied
//   taken back (delta = mapped base - the file's ImageBase), each import
//   address slot taken as the file must hold it (its lookup-table entry), and
//   the writable sections as they were before the program's first instruction
//   (see the start-up copy in ImageMatch.cpp);
// - the bytes in no section (gaps) must be zero;
// - after the last section's raw data only the certificate table that the
//   security directory names (8-byte aligned, WIN_CERTIFICATE records of
//   Authenticode, up to the file's end) or nothing.
// Images that cannot be checked this way are refused: a load configuration
// directory (the loader may write a security cookie into it), bound imports,
// imports without a lookup table, unknown relocation types.
// 1 = the file is that image and `fileBytes` holds its size; 0 = it is not,
// it could not be read or checked (`fileBytes` is 0).
int MatchImageFile(HANDLE file, HMODULE module, uint64_t* fileBytes);

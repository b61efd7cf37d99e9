#pragma once
// Sizes of what the wizard draws itself (its header band), which dialog units
// do not scale: given for 96 dots per inch and followed to the system's DPI,
// which a DPI-aware program (Windows Vista and later) is told as it is.

#include <stdint.h>

constexpr int32_t kStandardDpi = 96;

// `pixels` at 96 DPI in pixels at `dpi`, rounded to the nearest (an unknown or
// absurd DPI, 0 or below, counts as 96).
int32_t ScaleForDpi(int32_t pixels, int32_t dpi);

// The header icon's size at `dpi`: one of the images the icon holds, 32 or 48
// pixels, the one nearer the 32 pixels of 96 DPI scaled (48 from 120 DPI on).
int32_t HeaderIconSize(int32_t dpi);

// Where the header band's parts go at `dpi`.
struct HeaderPlacement {
  int32_t iconLeft, iconTop, iconSize, textLeft, textTop, fontHeight;
};
HeaderPlacement PlaceHeader(int32_t dpi);

// The header band's sizes by DPI.

#include "setup/rules/DisplayScale.h"

namespace {

// At 96 DPI: the icon 10 pixels in from the top left corner, the text 18
// pixels after it, the title font 30 pixels high.
constexpr int32_t kIconInset = 10;
constexpr int32_t kTextGap = 18;
constexpr int32_t kTitleHeight = 30;
constexpr int32_t kSmallIcon = 32;
constexpr int32_t kLargeIcon = 48;

}  // namespace

int32_t ScaleForDpi(int32_t pixels, int32_t dpi) {
  if (dpi <= 0) dpi = kStandardDpi;
  const int64_t scaled = static_cast<int64_t>(pixels) * dpi;
  const int64_t half = scaled >= 0 ? kStandardDpi / 2 : -kStandardDpi / 2;
  return static_cast<int32_t>((scaled + half) / kStandardDpi);
}

int32_t HeaderIconSize(int32_t dpi) {
  return ScaleForDpi(kSmallIcon, dpi) * 2 >= kSmallIcon + kLargeIcon ? kLargeIcon : kSmallIcon;
}

HeaderPlacement PlaceHeader(int32_t dpi) {
  HeaderPlacement place = {};
  place.iconLeft = ScaleForDpi(kIconInset, dpi);
  place.iconTop = place.iconLeft;
  place.iconSize = HeaderIconSize(dpi);
  place.textLeft = place.iconLeft + ScaleForDpi(kSmallIcon, dpi) + ScaleForDpi(kTextGap, dpi);
  place.textTop = place.iconTop;
  place.fontHeight = ScaleForDpi(kTitleHeight, dpi);
  return place;
}

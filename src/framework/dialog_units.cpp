#include "framework/dialog_units.h"

#include <cstdint>
#include <limits>

namespace nuv::fw {

int MulDiv(int a, int b, int c) {
  if (c == 0)
    return -1;
  const int64_t product = int64_t{a} * int64_t{b};
  int64_t divisor = c;
  int64_t numerator = product;
  if (divisor < 0) {
    divisor = -divisor;
    numerator = -numerator;
  }
  // Round half away from zero.
  const int64_t half = divisor / 2;
  const int64_t result =
      numerator >= 0 ? (numerator + half) / divisor : -((-numerator + half) / divisor);
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
    return -1;
  return static_cast<int>(result);
}

int DialogUnitsToPixelsX(int x) {
  return MulDiv(x, kBaseUnitX, 4);
}
int DialogUnitsToPixelsY(int y) {
  return MulDiv(y, kBaseUnitY, 8);
}

Rect MapDialogRect(const Rect& du) {
  return {DialogUnitsToPixelsX(du.left), DialogUnitsToPixelsY(du.top),
          DialogUnitsToPixelsX(du.right), DialogUnitsToPixelsY(du.bottom)};
}

Rect TemplateRectToPixels(int x, int y, int cx, int cy) {
  return MapDialogRect({x, y, x + cx, y + cy});
}

}  // namespace nuv::fw

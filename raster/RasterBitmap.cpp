// Shared helpers of the bitmap interface.
#include "RasterBitmap.h"

#include <cstddef>

RasterBitmap::~RasterBitmap() = default;

Pixel* RowAddress(RasterBitmap& bitmap, int y) {
  const int stored = bitmap.IsFlipped() ? bitmap.Height() - 1 - y : y;
  return bitmap.Bits() + static_cast<std::ptrdiff_t>(stored) * bitmap.RowSpan();
}

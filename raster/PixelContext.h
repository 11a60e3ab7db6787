// The Linux drawing context of a system bitmap: the pixel block that the text renderer draws into.
#pragma once

#include "RasterBitmap.h"

struct PixelContext {
  Pixel* mBits = nullptr;  // top row, null while the bitmap has no pixels
  int mWidth = 0;
  int mHeight = 0;
  int mRowSpan = 0;  // pixels from one row to the next
};

// The draw surface's sizing, the same on every platform: keep pixels that are large enough, replace them only to
// grow. The platform files make and release the pixels and tell the drawing context about them.
#include "SystemBitmap.h"

#include <climits>

bool SystemBitmap::Resize(int width, int height) {
  if (!mDeviceContext) {
    mWidth = 0;
    mHeight = 0;
    return false;
  }
  if (width == mWidth && height == mHeight) return false;

  mWidth = width;
  mHeight = height;
  if (width > 0 && height > 0 && mBits && mAllocWidth >= width && mAllocHeight >= height) {
    DescribeToContext();
    return true;
  }

  ReleaseSection();
  // Freed pixels must not leave a size that blits would write to.
  if (width <= 0 || height <= 0 || width > INT_MAX - 3) {
    mWidth = 0;
    mHeight = 0;
    mAllocWidth = 0;
    mAllocHeight = 0;
    return false;
  }
  mAllocWidth = (width + 3) & ~3;
  mAllocHeight = height;
  if (!MakeSection()) {
    mWidth = 0;
    mHeight = 0;
    return true;
  }
  DescribeToContext();
  return true;
}

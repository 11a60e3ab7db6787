// The Linux draw surface: aligned heap pixels that the text renderer reaches through a PixelContext.
#include "PixelContext.h"
#include "SystemBitmap.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kPixelAlignment = 64;

PixelContext* Context(void* deviceContext) { return static_cast<PixelContext*>(deviceContext); }

}  // namespace

SystemBitmap::SystemBitmap(int width, int height) {
  mDeviceContext = new (std::nothrow) PixelContext();
  Resize(width, height);
}

SystemBitmap::~SystemBitmap() {
  ReleaseSection();
  delete Context(mDeviceContext);
}

void SystemBitmap::ReleaseSection() {
  std::free(mSection);
  mSection = nullptr;
  mBits = nullptr;
  if (mDeviceContext) *Context(mDeviceContext) = PixelContext();
}

bool SystemBitmap::Resize(int width, int height) {
  if (!mDeviceContext) {
    mWidth = 0;
    mHeight = 0;
    return false;
  }
  if (width == mWidth && height == mHeight) return false;

  mWidth = width;
  mHeight = height;
  PixelContext* context = Context(mDeviceContext);
  if (width > 0 && height > 0 && mBits && mAllocWidth >= width && mAllocHeight >= height) {
    context->mWidth = width;
    context->mHeight = height;
    return true;
  }

  ReleaseSection();
  // A freed surface must not keep a size that blits would write to.
  if (width <= 0 || height <= 0 || width > INT_MAX - 3) {
    mWidth = 0;
    mHeight = 0;
    mAllocWidth = 0;
    mAllocHeight = 0;
    return false;
  }
  mAllocWidth = (width + 3) & ~3;
  mAllocHeight = height;

  const std::size_t rowBytes = static_cast<std::size_t>(mAllocWidth) * sizeof(Pixel);
  if (rowBytes <= (SIZE_MAX - kPixelAlignment) / static_cast<std::size_t>(mAllocHeight)) {
    mSection = std::malloc(rowBytes * static_cast<std::size_t>(mAllocHeight) + kPixelAlignment - 1);
  }
  if (!mSection) {
    mWidth = 0;
    mHeight = 0;
    return true;
  }
  const auto address = reinterpret_cast<std::uintptr_t>(mSection);
  mBits = reinterpret_cast<Pixel*>((address + kPixelAlignment - 1) & ~static_cast<std::uintptr_t>(kPixelAlignment - 1));
  context->mBits = mBits;
  context->mWidth = mWidth;
  context->mHeight = mHeight;
  context->mRowSpan = mAllocWidth;
  return true;
}

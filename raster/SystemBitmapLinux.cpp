// The Linux draw surface: aligned heap pixels that the text renderer reaches through a PixelContext.
#include "PixelContext.h"
#include "SystemBitmap.h"

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

bool SystemBitmap::MakeSection() {
  const std::size_t rowBytes = static_cast<std::size_t>(mAllocWidth) * sizeof(Pixel);
  if (rowBytes <= (SIZE_MAX - kPixelAlignment) / static_cast<std::size_t>(mAllocHeight)) {
    mSection = std::malloc(rowBytes * static_cast<std::size_t>(mAllocHeight) + kPixelAlignment - 1);
  }
  if (!mSection) return false;
  const auto address = reinterpret_cast<std::uintptr_t>(mSection);
  mBits = reinterpret_cast<Pixel*>((address + kPixelAlignment - 1) & ~static_cast<std::uintptr_t>(kPixelAlignment - 1));
  return true;
}

void SystemBitmap::DescribeToContext() {
  PixelContext* context = Context(mDeviceContext);
  context->mBits = mBits;
  context->mWidth = mWidth;
  context->mHeight = mHeight;
  context->mRowSpan = mAllocWidth;
}

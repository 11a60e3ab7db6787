// The Windows draw surface: a 32-bit top-down DIB section selected into its own memory device context.
#include "SystemBitmap.h"

#include <windows.h>

#include <climits>

namespace {

HDC Context(void* deviceContext) { return static_cast<HDC>(deviceContext); }

}  // namespace

SystemBitmap::SystemBitmap(int width, int height) {
  mDeviceContext = CreateCompatibleDC(nullptr);
  Resize(width, height);
}

SystemBitmap::~SystemBitmap() {
  ReleaseSection();
  if (mDeviceContext) DeleteDC(Context(mDeviceContext));
}

void SystemBitmap::ReleaseSection() {
  if (mSection) {
    SelectObject(Context(mDeviceContext), static_cast<HGDIOBJ>(mOldObject));
    DeleteObject(static_cast<HGDIOBJ>(mSection));
  }
  mSection = nullptr;
  mOldObject = nullptr;
  mBits = nullptr;
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
  if (width > 0 && height > 0 && mBits && mAllocWidth >= width && mAllocHeight >= height) return true;

  ReleaseSection();
  // A deleted section must not keep a size that blits would write to.
  if (width <= 0 || height <= 0 || width > INT_MAX - 3) {
    mWidth = 0;
    mHeight = 0;
    mAllocWidth = 0;
    mAllocHeight = 0;
    return false;
  }
  mAllocWidth = (width + 3) & ~3;
  mAllocHeight = height;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = mAllocWidth;
  info.bmiHeader.biHeight = -mAllocHeight;  // negative: rows run top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(Context(mDeviceContext), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    mWidth = 0;
    mHeight = 0;
    return true;
  }
  mSection = section;
  mOldObject = SelectObject(Context(mDeviceContext), section);
  mBits = static_cast<Pixel*>(bits);
  return true;
}

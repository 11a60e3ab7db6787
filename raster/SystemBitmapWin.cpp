// The Windows draw surface: a 32-bit top-down DIB section selected into its own memory device context.
#include "SystemBitmap.h"

#include <windows.h>

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

bool SystemBitmap::MakeSection() {
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
    return false;
  }
  mSection = section;
  mOldObject = SelectObject(Context(mDeviceContext), section);
  mBits = static_cast<Pixel*>(bits);
  return true;
}

// The device context knows its section's size from the section itself.
void SystemBitmap::DescribeToContext() {}

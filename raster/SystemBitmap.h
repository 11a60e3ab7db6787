// The editor's draw surface: a bitmap with a platform drawing context, so text and blits share its pixels.
#pragma once

#include "RasterBitmap.h"

// The pixels live in a top-down section with a memory device context on Windows and in aligned
// heap memory described by a PixelContext on Linux; rows are padded to a multiple of 4 pixels.
class SystemBitmap final : public RasterBitmap {
 public:
  // Makes the drawing context, then a width x height surface.
  SystemBitmap(int width, int height);
  // Restores the context, frees the pixels, deletes the context.
  ~SystemBitmap() override;

  Pixel* Bits() override { return mBits; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mAllocWidth; }
  bool IsFlipped() const override { return false; }
  // Keeps the current pixels when they are large enough; replaces them only to grow.
  bool Resize(int width, int height) override;
  void* DeviceContext() override { return mDeviceContext; }

 private:
  // Each platform file: frees the pixels, leaving the context without them.
  void ReleaseSection();
  // Each platform file: makes mAllocWidth x mAllocHeight pixels and sets mBits; false when none could be made.
  bool MakeSection();
  // Each platform file: tells the drawing context the size and pixels it now draws into.
  void DescribeToContext();

  int mWidth = 0;
  int mHeight = 0;
  void* mDeviceContext = nullptr;  // HDC on Windows, PixelContext* on Linux
  Pixel* mBits = nullptr;
  int mAllocWidth = 0;
  int mAllocHeight = 0;
  void* mSection = nullptr;    // HBITMAP on Windows, the heap block on Linux
  [[maybe_unused]] void* mOldObject = nullptr;  // what the context held before the section (Windows only)
};

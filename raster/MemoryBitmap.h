// A bitmap on the heap with aligned rows, used for decoded images and scratch surfaces.
#pragma once

#include "RasterBitmap.h"

#include <cstddef>

class MemoryBitmap final : public RasterBitmap {
 public:
  // Makes a width x height bitmap whose rows are padded to a multiple of rowAlignment pixels (capped at 16).
  MemoryBitmap(int width, int height, int rowAlignment);
  ~MemoryBitmap() override;

  Pixel* Bits() override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override;
  bool IsFlipped() const override { return false; }
  bool Resize(int width, int height) override;
  void* DeviceContext() override { return nullptr; }

  // Bytes of pixel storage held, which grows by a quarter beyond the need and never shrinks.
  std::size_t AllocatedBytes() const { return mAllocated; }

 private:
  void* mStorage = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  std::size_t mAllocated = 0;
  int mRowAlignMask = 0;
};

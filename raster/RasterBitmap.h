// The abstract 32-bit bitmap that blits, PNG decoding and the editor's draw surface work on.
#pragma once

#include <cstdint>

// One pixel: straight alpha packed as (A << 24) | (R << 16) | (G << 8) | B, so memory holds B, G, R, A.
using Pixel = std::uint32_t;

class RasterBitmap {
 public:
  RasterBitmap() = default;
  RasterBitmap(const RasterBitmap&) = delete;
  RasterBitmap& operator=(const RasterBitmap&) = delete;

  // Frees the bitmap's storage.
  virtual ~RasterBitmap();
  // First pixel of the first stored row (the top row unless IsFlipped), or null without storage.
  virtual Pixel* Bits() = 0;
  // Width in pixels.
  virtual int Width() const = 0;
  // Height in pixels.
  virtual int Height() const = 0;
  // Pixels from one stored row to the next (at least Width).
  virtual int RowSpan() const = 0;
  // True when rows are stored bottom-up, so picture row y is stored row Height - 1 - y.
  virtual bool IsFlipped() const = 0;
  // Changes the size; true when the size changed. Pixel contents afterwards are undefined.
  virtual bool Resize(int width, int height) = 0;
  // The platform drawing context on the pixels (an HDC on Windows, a PixelContext* on Linux), or null.
  virtual void* DeviceContext() = 0;
  // Reserved extension hook; returns 0 and does nothing.
  virtual int Extended(std::int32_t, std::int32_t) { return 0; }
};

// Address of picture row y of a bitmap with storage, honouring IsFlipped.
Pixel* RowAddress(RasterBitmap& bitmap, int y);

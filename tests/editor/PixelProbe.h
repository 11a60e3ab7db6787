// Pixel helpers for tests of drawn surfaces: reading pixels, finding dark text ink, writing a PNG to look at.
#pragma once

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "IRect.h"
#include "RasterBitmap.h"

inline Pixel PixelAt(RasterBitmap& bitmap, int x, int y) { return RowAddress(bitmap, y)[x]; }

inline int Brightness(Pixel p) { return int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF); }

// Pixels inside area that are dark in the drawing and were not dark in the reference (the bare background).
struct Ink {
  int mCount = 0;
  IRect mBounds;  // of the ink, right and bottom exclusive; all zero when there is none
};

inline Ink FindInk(RasterBitmap& drawn, RasterBitmap* reference, const IRect& area, int darkBelow = 300) {
  Ink ink;
  for (int y = area.T; y < area.B; ++y)
    for (int x = area.L; x < area.R; ++x) {
      const Pixel p = PixelAt(drawn, x, y);
      if (Brightness(p) >= darkBelow) continue;
      if (reference && Brightness(PixelAt(*reference, x, y)) < darkBelow) continue;
      if (ink.mCount++ == 0) {
        ink.mBounds = IRect(x, y, x + 1, y + 1);
      } else {
        const IRect one(x, y, x + 1, y + 1);
        ink.mBounds = ink.mBounds.Union(&one);
      }
    }
  return ink;
}

// Writes the bitmap as an 8-bit RGB PNG; false when the file cannot be written.
inline bool WritePng(RasterBitmap& bitmap, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  const int w = bitmap.Width(), h = bitmap.Height();
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Pixel p = PixelAt(bitmap, x, y);
      row[size_t(x) * 3 + 0] = png_byte(p >> 16);
      row[size_t(x) * 3 + 1] = png_byte(p >> 8);
      row[size_t(x) * 3 + 2] = png_byte(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

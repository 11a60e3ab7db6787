// Writes small PNG files in memory with libpng, so decoding tests can cover every colour type.
#pragma once

#include <vector>

struct PngDescription {
  int mWidth = 1;
  int mHeight = 1;
  int mColorType = 2;  // PNG_COLOR_TYPE_*
  int mBitDepth = 8;
  bool mInterlaced = false;
  std::vector<unsigned char> mPalette;       // RGB triples for palette images
  std::vector<unsigned char> mTransparency;  // tRNS: palette alphas, or one colour as 16-bit samples
  std::vector<unsigned char> mSamples;       // packed rows as the PNG stores them, without filter bytes
};

std::vector<unsigned char> EncodePng(const PngDescription& description);

// Rectangular blits between raster bitmaps: clipping, weighted copy, source-alpha and the other combining modes.
#pragma once

#include "RasterBitmap.h"

// A source window in pixels: left, top, right, bottom, with right and bottom exclusive.
struct RasterRect {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;
};

// The low byte of a mode selects how a source pixel s combines with a destination pixel d.
constexpr int kBlitCopy = 0;         // d = s (weighted: a linear mix of all four bytes)
constexpr int kBlitAdd = 1;          // d = d + s, saturating at 255
constexpr int kBlitDodge = 2;        // d = d * 255 / (255 - s), saturating at 255
constexpr int kBlitMultiply = 3;     // d = d * s / 255
constexpr int kBlitOverlay = 4;      // multiply where d is dark, screen where d is light
constexpr int kBlitHsvAdjust = 5;    // s holds a hue turn (R), saturation (G) and value (B) scale, 128 = as is
constexpr int kBlitChannelCopy = 240;  // 240 + (from << 2) + to: one channel of s into another of d
constexpr int kBlitModeMask = 0xFF;
// Bilinear filtering for scaled and rotated blits; Blit ignores it.
constexpr int kBlitFilter = 0x100;
// Weights each source pixel by its own alpha.
constexpr int kBlitSourceAlpha = 0x10000;

// Channel numbers for kBlitChannelCopy, in memory order.
constexpr int kChannelB = 0;
constexpr int kChannelG = 1;
constexpr int kChannelR = 2;
constexpr int kChannelA = 3;

// The mode that copies source channel `from` into destination channel `to`.
constexpr int BlitChannelCopyMode(int from, int to) { return kBlitChannelCopy + (from << 2) + to; }

// Combines the source window (all of src when srcRect is null) into dest at (destX, destY), clipped to both bitmaps.
void Blit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, const RasterRect* srcRect, float weight,
          int mode);

// The same with the source window given as position and size.
void Blit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, int srcX, int srcY, int srcWidth,
          int srcHeight, float weight, int mode);

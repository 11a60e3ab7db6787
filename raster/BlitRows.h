// Per-row pixel combiners behind Blit: each combines n source pixels into n destination pixels.
#pragma once

#include "RasterBitmap.h"

// Signature shared by every combiner; v is the weight in 256ths (1..256), mode the full blit mode.
using BlitRowFunction = void (*)(Pixel* dest, const Pixel* src, int n, int v, int mode);

// Verbatim copy, alpha included.
void CopyRow(Pixel* dest, const Pixel* src, int n, int v, int mode);
// Each channel of both pixels halved (truncated) and added.
void AverageRow(Pixel* dest, const Pixel* src, int n, int v, int mode);
// Source alpha at full weight: transparent pixels skipped, opaque ones copied, the rest blended.
void SourceAlphaRow(Pixel* dest, const Pixel* src, int n, int v, int mode);
// All four bytes moved from the destination towards the source by v / 256.
void MixRow(Pixel* dest, const Pixel* src, int n, int v, int mode);
// Source alpha with the alpha scaled by v / 256.
void SourceAlphaMixRow(Pixel* dest, const Pixel* src, int n, int v, int mode);
// Add, dodge, multiply, overlay, HSV adjust and channel copy, weighted by v and optionally by source alpha.
void ColourModeRow(Pixel* dest, const Pixel* src, int n, int v, int mode);

// Blends colour s over d with alpha a (1..254): d' = s + ((d - s) * (255 - a)) / 256 per colour channel,
// truncating toward zero. Nothing reads the alpha byte of a draw surface; it becomes the larger of the two
// alphas, so an opaque surface stays opaque and a transparent one takes the source's alpha.
inline Pixel BlendSourceAlpha(Pixel d, Pixel s, int a) {
  const int inverse = 255 - a;
  Pixel out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int sc = static_cast<int>((s >> shift) & 0xFF);
    const int dc = static_cast<int>((d >> shift) & 0xFF);
    out |= static_cast<Pixel>((sc + ((dc - sc) * inverse) / 256) & 0xFF) << shift;
  }
  const Pixel da = d >> 24;
  out |= (da > static_cast<Pixel>(a) ? da : static_cast<Pixel>(a)) << 24;
  return out;
}

// Clips a blit to both bitmaps, picks the row combiner for the mode and weight, and runs it row by row.
#include "Blit.h"

#include "BlitRows.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int kChunkPixels = 256;

// The combiner for a mode and weight, and the weight in 256ths that it takes; null when nothing is drawn.
BlitRowFunction ChooseRowFunction(int mode, float weight, int* v) {
  const int low = mode & kBlitModeMask;
  const bool sourceAlpha = (mode & kBlitSourceAlpha) != 0;
  *v = 256;
  if (low == kBlitCopy && !sourceAlpha) {
    if (weight == 1.0f) return CopyRow;
    if (weight == 0.5f) return AverageRow;
  }
  if (low == kBlitCopy && sourceAlpha && weight == 1.0f) return SourceAlphaRow;

  // Weights outside 0..1 (and NaN) would extrapolate past the source, so they are limited.
  if (!(weight > 0.0f)) return nullptr;
  *v = weight >= 1.0f ? 256 : static_cast<int>(std::trunc(weight * 256.0f));
  if (*v <= 0) return nullptr;
  if (low == kBlitCopy) {
    if (sourceAlpha) return *v == 256 ? SourceAlphaRow : SourceAlphaMixRow;
    return *v == 256 ? CopyRow : MixRow;
  }
  if ((low >= kBlitAdd && low <= kBlitHsvAdjust) || low >= kBlitChannelCopy) return ColourModeRow;
  return nullptr;
}

// Combines one row of a bitmap with itself: the source goes through a buffer piece by piece, and the
// pieces run away from the overlap so that no source pixel is read after it was written.
void CombineOverlappingRow(BlitRowFunction combine, Pixel* dest, const Pixel* src, int n, int v, int mode) {
  Pixel buffer[kChunkPixels];
  const bool backwards = dest > src;
  for (int done = 0; done < n; done += kChunkPixels) {
    const int count = std::min(kChunkPixels, n - done);
    const int start = backwards ? n - done - count : done;
    std::copy(src + start, src + start + count, buffer);
    combine(dest + start, buffer, count, v, mode);
  }
}

}  // namespace

void Blit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, const RasterRect* srcRect, float weight,
          int mode) {
  if (!dest || !src || weight == 0.0f) return;
  if (!dest->Bits() || !src->Bits()) return;

  // 64-bit arithmetic so that extreme positions clip instead of wrapping around.
  long long left = 0, top = 0, right = src->Width(), bottom = src->Height();
  if (srcRect) {
    left = srcRect->L;
    top = srcRect->T;
    right = srcRect->R;
    bottom = srcRect->B;
  }
  long long x = destX, y = destY;
  if (left < 0) {
    x -= left;
    left = 0;
  }
  if (top < 0) {
    y -= top;
    top = 0;
  }
  right = std::min<long long>(right, src->Width());
  bottom = std::min<long long>(bottom, src->Height());
  if (x < 0) {
    left -= x;
    x = 0;
  }
  if (y < 0) {
    top -= y;
    y = 0;
  }
  if (x + (right - left) > dest->Width()) right = dest->Width() + left - x;
  if (y + (bottom - top) > dest->Height()) bottom = dest->Height() + top - y;
  if (right <= left || bottom <= top) return;

  int v = 256;
  const BlitRowFunction combine = ChooseRowFunction(mode, weight, &v);
  if (!combine) return;

  const int w = static_cast<int>(right - left);
  const int h = static_cast<int>(bottom - top);
  const int dx = static_cast<int>(x), dy = static_cast<int>(y);
  const int sx = static_cast<int>(left), sy = static_cast<int>(top);

  if (dest->Bits() != src->Bits()) {
    for (int j = 0; j < h; ++j) combine(RowAddress(*dest, dy + j) + dx, RowAddress(*src, sy + j) + sx, w, v, mode);
    return;
  }
  // A bitmap onto itself: rows run away from the overlap too.
  const bool bottomUp = dy > sy;
  for (int i = 0; i < h; ++i) {
    const int j = bottomUp ? h - 1 - i : i;
    CombineOverlappingRow(combine, RowAddress(*dest, dy + j) + dx, RowAddress(*src, sy + j) + sx, w, v, mode);
  }
}

void Blit(RasterBitmap* dest, RasterBitmap* src, int destX, int destY, int srcX, int srcY, int srcWidth,
          int srcHeight, float weight, int mode) {
  // Right and bottom saturate so that a huge size cannot wrap to a small rectangle.
  const auto limit = [](long long value) {
    return static_cast<int>(std::clamp<long long>(value, -2147483647LL - 1, 2147483647LL));
  };
  const RasterRect rect{srcX, srcY, limit(static_cast<long long>(srcX) + srcWidth),
                        limit(static_cast<long long>(srcY) + srcHeight)};
  Blit(dest, src, destX, destY, &rect, weight, mode);
}

#include "ScaledBlit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Tap {
  int mIndex;  // source pixel, from the window's start
  float mWeight;
};

// For each destination pixel of one axis, the source pixels under its footprint and their shares of it.
struct AxisTaps {
  std::vector<int> mFirst;  // per destination pixel, its first tap; one extra entry closes the last
  std::vector<Tap> mTaps;
};

AxisTaps MakeTaps(int srcSize, int destSize) {
  AxisTaps axis;
  axis.mFirst.reserve(static_cast<size_t>(destSize) + 1);
  const double step = double(srcSize) / destSize;
  for (int i = 0; i < destSize; ++i) {
    axis.mFirst.push_back(static_cast<int>(axis.mTaps.size()));
    const double from = i * step, to = (i + 1) * step;
    const int first = static_cast<int>(std::floor(from));
    const int last = std::min(srcSize - 1, static_cast<int>(std::ceil(to)) - 1);
    for (int s = first; s <= last; ++s) {
      const double cover = std::min(to, s + 1.0) - std::max(from, double(s));
      if (cover > 0.0) axis.mTaps.push_back({s, static_cast<float>(cover / step)});
    }
  }
  axis.mFirst.push_back(static_cast<int>(axis.mTaps.size()));
  return axis;
}

struct Premultiplied {
  float b = 0, g = 0, r = 0, a = 0;
};

Premultiplied Premultiply(Pixel p) {
  const float a = float(p >> 24) / 255.0f;
  return {float(p & 0xFF) * a, float((p >> 8) & 0xFF) * a, float((p >> 16) & 0xFF) * a, a};
}

Pixel Unpremultiply(const Premultiplied& p) {
  if (p.a <= 0.5f / 255.0f) return 0;
  auto channel = [&](float c) { return static_cast<Pixel>(std::clamp(std::lround(c / p.a), 0L, 255L)); };
  const auto alpha = static_cast<Pixel>(std::clamp(std::lround(p.a * 255.0f), 0L, 255L));
  return (alpha << 24) | (channel(p.r) << 16) | (channel(p.g) << 8) | channel(p.b);
}

}  // namespace

bool ScaledBlit(RasterBitmap* dest, const RasterRect& destRect, RasterBitmap* src, const RasterRect* srcRect) {
  if (!dest || !src || !dest->Bits() || !src->Bits()) return false;
  RasterRect s = srcRect ? *srcRect : RasterRect{0, 0, src->Width(), src->Height()};
  s.L = std::max(s.L, 0);
  s.T = std::max(s.T, 0);
  s.R = std::min(s.R, src->Width());
  s.B = std::min(s.B, src->Height());
  const int sw = s.R - s.L, sh = s.B - s.T;
  const int dw = destRect.R - destRect.L, dh = destRect.B - destRect.T;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return false;
  // The mapping belongs to the whole window; clipping only chooses which of its pixels are written.
  const int x0 = std::max(destRect.L, 0), x1 = std::min(destRect.R, dest->Width());
  const int y0 = std::max(destRect.T, 0), y1 = std::min(destRect.B, dest->Height());
  if (x0 >= x1 || y0 >= y1) return false;

  const AxisTaps xs = MakeTaps(sw, dw), ys = MakeTaps(sh, dh);
  const int firstRow = ys.mTaps[size_t(ys.mFirst[size_t(y0 - destRect.T)])].mIndex;
  const int lastRow = ys.mTaps[size_t(ys.mFirst[size_t(y1 - destRect.T)] - 1)].mIndex;
  const int cols = x1 - x0;
  // Horizontal pass over the source rows that matter, then the vertical one into the destination.
  std::vector<Premultiplied> rows(static_cast<size_t>(lastRow - firstRow + 1) * size_t(cols));
  for (int sy = firstRow; sy <= lastRow; ++sy) {
    const Pixel* in = RowAddress(*src, s.T + sy) + s.L;
    Premultiplied* out = &rows[size_t(sy - firstRow) * size_t(cols)];
    for (int x = x0; x < x1; ++x) {
      const int i = x - destRect.L;
      Premultiplied sum;
      for (int t = xs.mFirst[size_t(i)]; t < xs.mFirst[size_t(i) + 1]; ++t) {
        const Tap& tap = xs.mTaps[size_t(t)];
        const Premultiplied p = Premultiply(in[tap.mIndex]);
        sum.b += p.b * tap.mWeight;
        sum.g += p.g * tap.mWeight;
        sum.r += p.r * tap.mWeight;
        sum.a += p.a * tap.mWeight;
      }
      out[x - x0] = sum;
    }
  }
  for (int y = y0; y < y1; ++y) {
    const int j = y - destRect.T;
    Pixel* out = RowAddress(*dest, y);
    for (int x = x0; x < x1; ++x) {
      Premultiplied sum;
      for (int t = ys.mFirst[size_t(j)]; t < ys.mFirst[size_t(j) + 1]; ++t) {
        const Tap& tap = ys.mTaps[size_t(t)];
        const Premultiplied& p = rows[size_t(tap.mIndex - firstRow) * size_t(cols) + size_t(x - x0)];
        sum.b += p.b * tap.mWeight;
        sum.g += p.g * tap.mWeight;
        sum.r += p.r * tap.mWeight;
        sum.a += p.a * tap.mWeight;
      }
      out[x] = Unpremultiply(sum);
    }
  }
  return true;
}

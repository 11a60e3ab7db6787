// The row combiners for plain copy, the half-weight average and source alpha, the modes the editor draws with.
#include "BlitRows.h"

#include <cstdint>
#include <cstring>

void CopyRow(Pixel* dest, const Pixel* src, int n, int, int) {
  std::memcpy(dest, src, static_cast<std::size_t>(n) * sizeof(Pixel));
}

void AverageRow(Pixel* dest, const Pixel* src, int n, int, int) {
  for (int i = 0; i < n; ++i) dest[i] = ((dest[i] >> 1) & 0x7F7F7F7Fu) + ((src[i] >> 1) & 0x7F7F7F7Fu);
}

void SourceAlphaRow(Pixel* dest, const Pixel* src, int n, int, int) {
  int i = 0;
  // Pixels in pairs: images are mostly runs of fully opaque or fully transparent pixels.
  constexpr std::uint64_t kAlphaPair = 0xFF000000FF000000ull;
  for (; i + 1 < n; i += 2) {
    std::uint64_t pair;
    std::memcpy(&pair, src + i, sizeof(pair));
    const std::uint64_t alphas = pair & kAlphaPair;
    if (alphas == kAlphaPair) {
      std::memcpy(dest + i, &pair, sizeof(pair));
      continue;
    }
    if (alphas == 0) continue;
    for (int k = i; k < i + 2; ++k) {
      const Pixel s = src[k];
      const int a = static_cast<int>(s >> 24);
      if (a == 255) {
        dest[k] = s;
      } else if (a != 0) {
        dest[k] = BlendSourceAlpha(dest[k], s, a);
      }
    }
  }
  for (; i < n; ++i) {
    const Pixel s = src[i];
    const int a = static_cast<int>(s >> 24);
    if (a == 255) {
      dest[i] = s;
    } else if (a != 0) {
      dest[i] = BlendSourceAlpha(dest[i], s, a);
    }
  }
}

void MixRow(Pixel* dest, const Pixel* src, int n, int v, int) {
  const int keep = 256 - v;
  for (int i = 0; i < n; ++i) {
    const Pixel d = dest[i], s = src[i];
    Pixel out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const int sc = static_cast<int>((s >> shift) & 0xFF);
      const int dc = static_cast<int>((d >> shift) & 0xFF);
      out |= static_cast<Pixel>((sc + ((dc - sc) * keep) / 256) & 0xFF) << shift;
    }
    dest[i] = out;
  }
}

void SourceAlphaMixRow(Pixel* dest, const Pixel* src, int n, int v, int) {
  for (int i = 0; i < n; ++i) {
    const Pixel s = src[i];
    // v < 256 here, so the scaled alpha stays below 255 and every visible pixel is blended.
    const int a = static_cast<int>(s >> 24) * v / 256;
    if (a != 0) dest[i] = BlendSourceAlpha(dest[i], s, a);
  }
}

// The row combiners for plain copy, the half-weight average and source alpha, the modes the editor draws with.
#include "BlitRows.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void CopyRow(Pixel* dest, const Pixel* src, int n, int, int) {
  std::memcpy(dest, src, static_cast<std::size_t>(n) * sizeof(Pixel));
}

void AverageRow(Pixel* dest, const Pixel* src, int n, int, int) {
  for (int i = 0; i < n; ++i) dest[i] = ((dest[i] >> 1) & 0x7F7F7F7Fu) + ((src[i] >> 1) & 0x7F7F7F7Fu);
}

namespace {

constexpr int kBlock = 32;

// Blends pixels without branches in 16-bit arithmetic, so the compiler can do many channels per
// instruction: |d - s| * (255 - a) fits 16 bits, and shifting the magnitude truncates toward zero.
// The selects keep transparent pixels unchanged and copy opaque ones, as the per-pixel rule says.
void BlendPixels(Pixel* dest, const Pixel* src, int n) {
  for (int i = 0; i < n; ++i) {
    const Pixel s = src[i], d = dest[i];
    const std::uint16_t a = static_cast<std::uint16_t>(s >> 24);
    const std::uint16_t inverse = static_cast<std::uint16_t>(255 - a);
    Pixel blended = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const std::uint16_t sc = static_cast<std::uint16_t>((s >> shift) & 0xFF);
      const std::uint16_t dc = static_cast<std::uint16_t>((d >> shift) & 0xFF);
      const bool down = dc < sc;
      const std::uint16_t magnitude = static_cast<std::uint16_t>(down ? sc - dc : dc - sc);
      const std::uint16_t step = static_cast<std::uint16_t>(static_cast<std::uint16_t>(magnitude * inverse) >> 8);
      const std::uint16_t value = static_cast<std::uint16_t>(down ? sc - step : sc + step);
      blended |= static_cast<Pixel>(value) << shift;
    }
    const Pixel da = d >> 24;
    blended |= (da > a ? da : a) << 24;
    dest[i] = a == 0 ? d : (a == 255 ? s : blended);
  }
}

#if defined(__SSE2__)

// The same arithmetic as BlendPixels on two pixels widened to 16-bit lanes (B, G, R, A, B, G, R, A).
__m128i BlendWide(__m128i s, __m128i d) {
  const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
  const __m128i down = _mm_cmpgt_epi16(s, d);
  const __m128i magnitude = _mm_sub_epi16(_mm_max_epi16(s, d), _mm_min_epi16(s, d));
  const __m128i step = _mm_srli_epi16(_mm_mullo_epi16(magnitude, inverse), 8);
  const __m128i colour =
      _mm_or_si128(_mm_and_si128(down, _mm_sub_epi16(s, step)), _mm_andnot_si128(down, _mm_add_epi16(s, step)));
  const __m128i outA = _mm_max_epi16(alpha, d);
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  return _mm_or_si128(_mm_and_si128(alphaLanes, outA), _mm_andnot_si128(alphaLanes, colour));
}

// Four pixels per step; the rest go through the portable loop.
void BlendBlock(Pixel* dest, const Pixel* src, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi32(255);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    const __m128i blended = _mm_packus_epi16(BlendWide(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero)),
                                             BlendWide(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero)));
    const __m128i alpha = _mm_srli_epi32(s, 24);
    const __m128i transparent = _mm_cmpeq_epi32(alpha, zero);
    const __m128i opaque = _mm_cmpeq_epi32(alpha, full);
    __m128i out = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, blended));
    out = _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, out));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), out);
  }
  BlendPixels(dest + i, src + i, n - i);
}

#else

void BlendBlock(Pixel* dest, const Pixel* src, int n) { BlendPixels(dest, src, n); }

#endif

}  // namespace

void SourceAlphaRow(Pixel* dest, const Pixel* src, int n, int, int) {
  int i = 0;
  // Images are mostly runs of opaque or transparent pixels: whole blocks of them cost no arithmetic.
  for (; i + kBlock <= n; i += kBlock) {
    Pixel all = 0xFFFFFFFFu, any = 0;
    for (int k = 0; k < kBlock; ++k) {
      all &= src[i + k];
      any |= src[i + k];
    }
    if ((all >> 24) == 0xFF) {
      for (int k = 0; k < kBlock; ++k) dest[i + k] = src[i + k];
    } else if ((any >> 24) != 0) {
      BlendBlock(dest + i, src + i, kBlock);
    }
  }
  BlendBlock(dest + i, src + i, n - i);
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

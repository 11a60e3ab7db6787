// Blit clipping on every side, plain and half-weight copy, source-alpha arithmetic and the other modes.
#include "Blit.h"
#include "MemoryBitmap.h"
#include "SystemBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr Pixel kUntouched = 0xDEADBEEFu;

Pixel Argb(int a, int r, int g, int b) {
  return (static_cast<Pixel>(a & 0xFF) << 24) | (static_cast<Pixel>(r & 0xFF) << 16) |
         (static_cast<Pixel>(g & 0xFF) << 8) | static_cast<Pixel>(b & 0xFF);
}

// Every source pixel different, so a pixel from the wrong place shows.
Pixel SourcePixel(int x, int y) { return Argb(0x80 + y, 0x10 + x, 0x20 + y, 0x30 + x + y); }

void Fill(RasterBitmap& bitmap, Pixel value) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) RowAddress(bitmap, y)[x] = value;
  }
}

std::unique_ptr<MemoryBitmap> MakeSource(int w, int h) {
  auto bitmap = std::make_unique<MemoryBitmap>(w, h, 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) RowAddress(*bitmap, y)[x] = SourcePixel(x, y);
  }
  return bitmap;
}

Pixel At(RasterBitmap& bitmap, int x, int y) { return RowAddress(bitmap, y)[x]; }

// One pixel over another with a mode and weight.
Pixel Combine(Pixel d, Pixel s, float weight, int mode) {
  MemoryBitmap dest(1, 1, 4), src(1, 1, 4);
  *dest.Bits() = d;
  *src.Bits() = s;
  Blit(&dest, &src, 0, 0, nullptr, weight, mode);
  return *dest.Bits();
}

// Checks an 8 x 6 destination after a copy blit: pixels in [l, r) x [t, b) come from the source at an
// offset of (ox, oy), every other pixel is untouched.
void ExpectCopied(RasterBitmap& dest, int l, int t, int r, int b, int ox, int oy) {
  for (int y = 0; y < dest.Height(); ++y) {
    for (int x = 0; x < dest.Width(); ++x) {
      const bool inside = x >= l && x < r && y >= t && y < b;
      EXPECT_EQ(At(dest, x, y), inside ? SourcePixel(x + ox, y + oy) : kUntouched) << "at " << x << ", " << y;
    }
  }
}

struct ClipCase {
  const char* name;
  int dx, dy;
  bool hasRect;
  RasterRect rect;
  int l, t, r, b;  // destination area that changes
  int ox, oy;      // source offset of that area
};

class BlitClipping : public testing::TestWithParam<ClipCase> {};

}  // namespace

TEST_P(BlitClipping, CopiesOnlyTheVisiblePart) {
  const ClipCase& c = GetParam();
  auto src = MakeSource(5, 4);
  MemoryBitmap dest(8, 6, 4);
  Fill(dest, kUntouched);
  Blit(&dest, src.get(), c.dx, c.dy, c.hasRect ? &c.rect : nullptr, 1.0f, kBlitCopy);
  ExpectCopied(dest, c.l, c.t, c.r, c.b, c.ox, c.oy);
}

INSTANTIATE_TEST_SUITE_P(
    EverySide, BlitClipping,
    testing::Values(
        ClipCase{"Inside", 1, 1, false, {}, 1, 1, 6, 5, -1, -1},
        ClipCase{"LeftCut", -2, 1, false, {}, 0, 1, 3, 5, 2, -1},
        ClipCase{"RightCut", 6, 0, false, {}, 6, 0, 8, 4, -6, 0},
        ClipCase{"TopCut", 1, -3, false, {}, 1, 0, 6, 1, -1, 3},
        ClipCase{"BottomCut", 2, 4, false, {}, 2, 4, 7, 6, -2, -4},
        ClipCase{"TopLeftCorner", -3, -2, false, {}, 0, 0, 2, 2, 3, 2},
        ClipCase{"BeyondTheRight", 8, 0, false, {}, 0, 0, 0, 0, 0, 0},
        ClipCase{"BeyondTheLeft", -5, 0, false, {}, 0, 0, 0, 0, 0, 0},
        ClipCase{"Below", 0, 6, false, {}, 0, 0, 0, 0, 0, 0},
        ClipCase{"Above", 0, -4, false, {}, 0, 0, 0, 0, 0, 0},
        ClipCase{"SourceWindowOutsideTheSource", 0, 0, true, {-1, -2, 3, 10}, 1, 2, 4, 6, -1, -2},
        ClipCase{"PartOfTheSource", 2, 1, true, {1, 1, 3, 2}, 2, 1, 4, 2, -1, 0},
        ClipCase{"EmptySourceWindow", 2, 1, true, {3, 1, 3, 4}, 0, 0, 0, 0, 0, 0},
        ClipCase{"ExtremePositions", INT_MAX, INT_MIN, false, {}, 0, 0, 0, 0, 0, 0},
        ClipCase{"HugeSourceWindow", 0, 0, true, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0, 0, 0, 0, 0, 0}),
    [](const testing::TestParamInfo<ClipCase>& param) { return std::string(param.param.name); });

TEST(Blit, SizeFormWrapperTakesPositionAndSize) {
  auto src = MakeSource(5, 4);
  MemoryBitmap dest(8, 6, 4);
  Fill(dest, kUntouched);
  Blit(&dest, src.get(), 3, 2, 1, 1, 2, 3, 1.0f, kBlitCopy);
  ExpectCopied(dest, 3, 2, 5, 5, -2, -1);

  Fill(dest, kUntouched);
  Blit(&dest, src.get(), 0, 0, 1, 1, INT_MAX, INT_MAX, 1.0f, kBlitCopy);
  ExpectCopied(dest, 0, 0, 4, 3, 1, 1);
}

TEST(Blit, MissingBitmapsPixelsOrWeightDrawNothing) {
  auto src = MakeSource(5, 4);
  MemoryBitmap dest(8, 6, 4);
  MemoryBitmap empty(0, 0, 4);
  Fill(dest, kUntouched);
  Blit(&dest, nullptr, 0, 0, nullptr, 1.0f, kBlitCopy);
  Blit(nullptr, src.get(), 0, 0, nullptr, 1.0f, kBlitCopy);
  Blit(&dest, &empty, 0, 0, nullptr, 1.0f, kBlitCopy);
  Blit(&empty, src.get(), 0, 0, nullptr, 1.0f, kBlitCopy);
  for (float weight : {0.0f, -1.0f, 0.001f, std::numeric_limits<float>::quiet_NaN()}) {
    Blit(&dest, src.get(), 0, 0, nullptr, weight, kBlitCopy);
    Blit(&dest, src.get(), 0, 0, nullptr, weight, kBlitSourceAlpha);
    Blit(&dest, src.get(), 0, 0, nullptr, weight, kBlitAdd);
  }
  Blit(&dest, src.get(), 0, 0, nullptr, 1.0f, 6);  // a mode that does not exist
  ExpectCopied(dest, 0, 0, 0, 0, 0, 0);
}

TEST(Blit, CopyAtFullWeightCopiesAlphaToo) {
  EXPECT_EQ(Combine(0xFFFFFFFFu, 0x12345678u, 1.0f, kBlitCopy), 0x12345678u);
  EXPECT_EQ(Combine(0xFFFFFFFFu, 0x00000000u, 1.0f, kBlitCopy), 0x00000000u);
  // The filter bit only matters for scaled blits.
  EXPECT_EQ(Combine(0u, 0x12345678u, 1.0f, kBlitCopy | kBlitFilter), 0x12345678u);
}

TEST(Blit, CopyAtHalfWeightAveragesTruncatedHalves) {
  // Each channel of both pixels is halved on its own: 0x03 and 0xFC give 0x01 + 0x7E, not (0x03 + 0xFC) / 2.
  EXPECT_EQ(Combine(0x01FF02FCu, 0xFF01FE03u, 0.5f, kBlitCopy), 0x7F7F807Fu);
  EXPECT_EQ(Combine(0xFFFFFFFFu, 0xFFFFFFFFu, 0.5f, kBlitCopy), 0xFEFEFEFEu);
}

TEST(Blit, CopyAtOtherWeightsMixesAllFourBytes) {
  // v = 64: d' = s + (d - s) * 192 / 256, truncated toward zero.
  EXPECT_EQ(Combine(0xC0408000u, 0x40C08000u, 0.25f, kBlitCopy), 0xA0608000u);
  EXPECT_EQ(Combine(0x00000000u, 0x00000001u, 0.25f, kBlitCopy), 0x00000001u);
  // Weights above 1 are a plain copy rather than an extrapolation past the source.
  EXPECT_EQ(Combine(0x11223344u, 0x55667788u, 3.0f, kBlitCopy), 0x55667788u);
}

TEST(Blit, SourceAlphaZeroLeavesTheDestinationAlone) {
  EXPECT_EQ(Combine(0x12345678u, 0x00FFFFFFu, 1.0f, kBlitSourceAlpha), 0x12345678u);
}

TEST(Blit, SourceAlphaFullReplacesTheColourExactly) {
  EXPECT_EQ(Combine(Argb(255, 1, 2, 3), Argb(255, 200, 100, 50), 1.0f, kBlitSourceAlpha) & 0xFFFFFFu,
            Argb(0, 200, 100, 50));
}

TEST(Blit, SourceAlphaHalfBlendsTruncatingTowardZero) {
  // 200 + (-100 * 127) / 256 = 151; 100 + (100 * 127) / 256 = 149; equal channels stay.
  const Pixel out = Combine(Argb(255, 100, 200, 77), Argb(128, 200, 100, 77), 1.0f, kBlitSourceAlpha);
  EXPECT_EQ(out & 0xFFFFFFu, Argb(0, 151, 149, 77));
  // Over an opaque surface the result stays opaque.
  EXPECT_EQ(out >> 24, 255u);
}

TEST(Blit, SourceAlphaRowMixesSkippedCopiedAndBlendedPixels) {
  // Odd length and mixed alphas exercise both the paired and the single-pixel paths.
  const Pixel source[] = {Argb(255, 10, 20, 30), Argb(0, 99, 99, 99), Argb(128, 200, 100, 77),
                          Argb(255, 1, 2, 3),    Argb(255, 4, 5, 6),  Argb(0, 1, 1, 1),
                          Argb(0, 2, 2, 2),      Argb(128, 200, 100, 77), Argb(255, 7, 8, 9)};
  const int n = static_cast<int>(sizeof(source) / sizeof(source[0]));
  MemoryBitmap src(n, 1, 4), dest(n, 1, 4);
  const Pixel background = Argb(255, 100, 200, 77);
  for (int i = 0; i < n; ++i) {
    src.Bits()[i] = source[i];
    dest.Bits()[i] = background;
  }
  Blit(&dest, &src, 0, 0, nullptr, 1.0f, kBlitSourceAlpha);
  const Pixel blended = Argb(255, 151, 149, 77);
  const Pixel expected[] = {source[0], background, blended,   source[3], source[4],
                            background, background, blended, source[8]};
  for (int i = 0; i < n; ++i) EXPECT_EQ(dest.Bits()[i], expected[i]) << i;
}

TEST(Blit, SourceAlphaFollowsThePerPixelRuleOnLongRows) {
  // Runs of opaque and transparent pixels between stretches of random ones reach every block path.
  const int n = 1000;
  MemoryBitmap src(n, 1, 4), dest(n, 1, 4);
  unsigned state = 2024;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state;
  };
  std::vector<Pixel> before(n);
  for (int i = 0; i < n; ++i) {
    Pixel alpha = next() >> 24;
    if (i % 200 < 40) alpha = 255;
    if (i % 200 >= 100 && i % 200 < 140) alpha = 0;
    src.Bits()[i] = (alpha << 24) | (next() >> 8);
    before[i] = dest.Bits()[i] = next();
  }
  Blit(&dest, &src, 0, 0, nullptr, 1.0f, kBlitSourceAlpha);
  for (int i = 0; i < n; ++i) {
    const Pixel s = src.Bits()[i], d = before[i];
    const int a = static_cast<int>(s >> 24);
    Pixel expected = a == 0 ? d : s;
    if (a != 0 && a != 255) {
      expected = std::max(d >> 24, s >> 24) << 24;
      for (int shift = 0; shift < 24; shift += 8) {
        const int sc = static_cast<int>((s >> shift) & 0xFF), dc = static_cast<int>((d >> shift) & 0xFF);
        expected |= static_cast<Pixel>(sc + (dc - sc) * (255 - a) / 256) << shift;
      }
    }
    ASSERT_EQ(dest.Bits()[i], expected) << "pixel " << i << ", alpha " << a;
  }
}

TEST(Blit, SourceAlphaAtPartialWeightScalesTheAlpha) {
  // Weight 0.5 halves alpha 255 to 127: 200 + (-100 * 128) / 256 = 150.
  const Pixel out = Combine(Argb(255, 100, 100, 100), Argb(255, 200, 200, 200), 0.5f, kBlitSourceAlpha);
  EXPECT_EQ(out & 0xFFFFFFu, Argb(0, 150, 150, 150));
  EXPECT_EQ(Combine(0x12345678u, 0x00FFFFFFu, 0.5f, kBlitSourceAlpha), 0x12345678u);
}

TEST(Blit, AddSaturatesAndKeepsTheDestinationAlpha) {
  EXPECT_EQ(Combine(Argb(7, 200, 10, 0), Argb(255, 100, 20, 0), 1.0f, kBlitAdd), Argb(7, 255, 30, 0));
  // With the source-alpha bit, alpha 0 adds nothing and alpha 255 adds all.
  EXPECT_EQ(Combine(Argb(7, 10, 10, 10), Argb(0, 100, 100, 100), 1.0f, kBlitAdd | kBlitSourceAlpha),
            Argb(7, 10, 10, 10));
  EXPECT_EQ(Combine(Argb(7, 10, 10, 10), Argb(255, 100, 100, 100), 1.0f, kBlitAdd | kBlitSourceAlpha),
            Argb(7, 110, 110, 110));
  // Half weight adds half: 10 + (100 - 10) * 128 / 256.
  EXPECT_EQ(Combine(Argb(7, 10, 10, 10), Argb(255, 90, 90, 90), 0.5f, kBlitAdd), Argb(7, 55, 55, 55));
}

TEST(Blit, DodgeDividesTheDestinationByTheInvertedSource) {
  // 100 * 255 / 100 = 255; 50 * 255 / 100 = 127; black stays black; a white source saturates.
  EXPECT_EQ(Combine(Argb(9, 100, 50, 0), Argb(255, 155, 155, 155), 1.0f, kBlitDodge), Argb(9, 255, 127, 0));
  EXPECT_EQ(Combine(Argb(9, 1, 0, 60), Argb(255, 255, 255, 0), 1.0f, kBlitDodge), Argb(9, 255, 0, 60));
}

TEST(Blit, MultiplyOverlayAndHsvAdjustHaveNeutralSources) {
  const Pixel d = Argb(200, 30, 128, 250);
  EXPECT_EQ(Combine(d, Argb(255, 255, 255, 255), 1.0f, kBlitMultiply), d);
  EXPECT_EQ(Combine(d, Argb(255, 0, 0, 0), 1.0f, kBlitMultiply), Argb(200, 0, 0, 0));
  EXPECT_EQ(Combine(d, Argb(255, 128, 128, 128), 1.0f, kBlitOverlay) >> 24, 200u);
  // No hue turn, saturation and value scaled by 128 / 128: the colour stays.
  EXPECT_EQ(Combine(d, Argb(255, 0, 128, 128), 1.0f, kBlitHsvAdjust), d);
  // Half a turn of hue swaps pure red for cyan; value 0 gives black.
  EXPECT_EQ(Combine(Argb(255, 255, 0, 0), Argb(255, 128, 128, 128), 1.0f, kBlitHsvAdjust), Argb(255, 0, 255, 255));
  EXPECT_EQ(Combine(d, Argb(255, 0, 128, 0), 1.0f, kBlitHsvAdjust), Argb(200, 0, 0, 0));
}

TEST(Blit, ChannelCopyMovesOneChannel) {
  EXPECT_EQ(Combine(Argb(1, 2, 3, 4), Argb(50, 60, 70, 80), 1.0f, BlitChannelCopyMode(kChannelR, kChannelA)),
            Argb(60, 2, 3, 4));
  EXPECT_EQ(Combine(Argb(1, 2, 3, 4), Argb(50, 60, 70, 80), 1.0f, BlitChannelCopyMode(kChannelB, kChannelG)),
            Argb(1, 2, 80, 4));
}

TEST(Blit, OntoItselfReadsEverySourcePixelBeforeOverwritingIt) {
  // Wider than one internal chunk so the pieces must run in the right order.
  const int w = 600;
  MemoryBitmap bitmap(w, 3, 4);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < w; ++x) RowAddress(bitmap, y)[x] = static_cast<Pixel>(y * 1000 + x);
  }
  Blit(&bitmap, &bitmap, 1, 0, nullptr, 1.0f, kBlitCopy);
  for (int x = 1; x < w; ++x) ASSERT_EQ(At(bitmap, x, 2), static_cast<Pixel>(2000 + x - 1)) << x;

  Blit(&bitmap, &bitmap, 0, 1, nullptr, 1.0f, kBlitCopy);
  for (int x = 1; x < w; ++x) ASSERT_EQ(At(bitmap, x, 2), static_cast<Pixel>(1000 + x - 1)) << x;

  Blit(&bitmap, &bitmap, -3, 0, nullptr, 0.5f, kBlitCopy);
  const Pixel left = static_cast<Pixel>(1000 + 2), right = static_cast<Pixel>(1000 + 5);
  EXPECT_EQ(At(bitmap, 3, 2), ((left >> 1) & 0x7F7F7F7Fu) + ((right >> 1) & 0x7F7F7F7Fu));
}

TEST(Blit, DrawSurfaceTakesTheFullBackgroundSize) {
  auto image = MakeSource(410, 680);
  SystemBitmap surface(410, 680);
  Fill(surface, kUntouched);
  Blit(&surface, image.get(), 0, 0, nullptr, 1.0f, kBlitCopy);
  EXPECT_EQ(At(surface, 0, 0), SourcePixel(0, 0));
  EXPECT_EQ(At(surface, 409, 679), SourcePixel(409, 679));

  // An opaque image over it with source alpha replaces every pixel.
  for (int y = 0; y < 680; ++y) {
    for (int x = 0; x < 410; ++x) RowAddress(*image, y)[x] = 0xFF000000u | static_cast<Pixel>(x * 680 + y);
  }
  Blit(&surface, image.get(), 0, 0, nullptr, 1.0f, kBlitSourceAlpha);
  EXPECT_EQ(At(surface, 0, 0), 0xFF000000u);
  EXPECT_EQ(At(surface, 409, 679), 0xFF000000u | static_cast<Pixel>(409 * 680 + 679));
}

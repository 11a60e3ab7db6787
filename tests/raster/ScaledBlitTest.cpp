// Resampling blits: exact at equal size and at a whole-number ratio down, flat colour stays flat at any ratio,
// transparent neighbours lend no colour, and a clipped window matches the unclipped one.
#include "MemoryBitmap.h"
#include "ScaledBlit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

Pixel Argb(int a, int r, int g, int b) {
  return (Pixel(a) << 24) | (Pixel(r) << 16) | (Pixel(g) << 8) | Pixel(b);
}

std::unique_ptr<MemoryBitmap> Make(int w, int h, Pixel (*at)(int, int)) {
  auto bitmap = std::make_unique<MemoryBitmap>(w, h, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) RowAddress(*bitmap, y)[x] = at(x, y);
  return bitmap;
}

Pixel Varied(int x, int y) { return Argb(255, (x * 37) & 0xFF, (y * 53) & 0xFF, (x * y) & 0xFF); }
Pixel At(RasterBitmap& b, int x, int y) { return RowAddress(b, y)[x]; }

int ChannelDistance(Pixel p, Pixel q) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8)
    worst = std::max(worst, std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)));
  return worst;
}

}  // namespace

TEST(ScaledBlit, EqualSizeCopiesAndWholeRatioDownAveragesBlocks) {
  auto src = Make(9, 7, Varied);
  MemoryBitmap same(9, 7, 4);
  ASSERT_TRUE(ScaledBlit(&same, {0, 0, 9, 7}, src.get(), nullptr));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(At(same, x, y), At(*src, x, y));

  // A picture doubled pixel for pixel comes back exactly when halved.
  auto doubled = Make(18, 14, [](int x, int y) { return Varied(x / 2, y / 2); });
  MemoryBitmap half(9, 7, 4);
  ASSERT_TRUE(ScaledBlit(&half, {0, 0, 9, 7}, doubled.get(), nullptr));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(At(half, x, y), At(*src, x, y)) << x << "," << y;
}

TEST(ScaledBlit, FlatColourStaysFlatAtEveryRatio) {
  const Pixel flat = Argb(200, 10, 120, 250);
  auto src = Make(40, 24, [](int, int) { return Argb(200, 10, 120, 250); });
  const int sizes[][2] = {{50, 30}, {25, 15}, {60, 36}, {30, 18}, {35, 21}, {120, 72}, {7, 5}};
  for (const auto& size : sizes) {
    MemoryBitmap out(size[0], size[1], 4);
    ASSERT_TRUE(ScaledBlit(&out, {0, 0, size[0], size[1]}, src.get(), nullptr));
    for (int y = 0; y < size[1]; ++y)
      for (int x = 0; x < size[0]; ++x)
        ASSERT_LE(ChannelDistance(At(out, x, y), flat), 1) << size[0] << "x" << size[1] << " at " << x << "," << y;
  }
}

TEST(ScaledBlit, TransparentPixelsLendNoColour) {
  // Opaque red beside transparent black: halved, the edge is half-covered red, not dark red.
  auto src = Make(4, 2, [](int x, int) { return x < 1 ? Argb(255, 250, 0, 0) : Argb(0, 0, 0, 0); });
  MemoryBitmap out(2, 1, 4);
  ASSERT_TRUE(ScaledBlit(&out, {0, 0, 2, 1}, src.get(), nullptr));
  EXPECT_EQ(At(out, 0, 0), Argb(128, 250, 0, 0));
  EXPECT_EQ(At(out, 1, 0), 0u);
}

TEST(ScaledBlit, ClippedWindowMatchesTheUnclippedOneAndSourceWindowIsHonoured) {
  auto src = Make(30, 20, Varied);
  const RasterRect window = {5, 4, 25, 16};  // a 20 x 12 part of the source
  MemoryBitmap whole(25, 15, 4);
  ASSERT_TRUE(ScaledBlit(&whole, {0, 0, 25, 15}, src.get(), &window));
  // The same window drawn 10 pixels left and 6 up of a smaller bitmap: what is left shows the same pixels.
  MemoryBitmap clipped(12, 7, 4);
  ASSERT_TRUE(ScaledBlit(&clipped, {-10, -6, 15, 9}, src.get(), &window));
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(At(clipped, x, y), At(whole, x + 10, y + 6)) << x << "," << y;
  // The source window's first pixel dominates the first destination pixel.
  EXPECT_LE(ChannelDistance(At(whole, 0, 0), Varied(5, 4)), 40);

  MemoryBitmap none(4, 4, 4);
  EXPECT_FALSE(ScaledBlit(&none, {4, 4, 8, 8}, src.get(), nullptr));
  EXPECT_FALSE(ScaledBlit(&none, {0, 0, 0, 4}, src.get(), nullptr));
  const RasterRect empty = {3, 3, 3, 9};
  EXPECT_FALSE(ScaledBlit(&none, {0, 0, 4, 4}, src.get(), &empty));
}

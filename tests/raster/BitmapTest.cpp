// Memory and system bitmaps: row spans, pixel alignment, storage growth and empty sizes.
#include "MemoryBitmap.h"
#include "SystemBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

bool AlignedTo64(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 64 == 0; }

// Writing every pixel of every row lets the sanitizer build catch a span larger than the storage.
void FillAll(RasterBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.RowSpan(); ++x) RowAddress(bitmap, y)[x] = 0xFF00FF00u;
  }
}

}  // namespace

TEST(MemoryBitmap, RowSpanRoundsWidthUpToTheRowAlignment) {
  EXPECT_EQ(MemoryBitmap(11, 3, 4).RowSpan(), 12);
  EXPECT_EQ(MemoryBitmap(12, 3, 4).RowSpan(), 12);
  EXPECT_EQ(MemoryBitmap(11, 3, 1).RowSpan(), 11);
  EXPECT_EQ(MemoryBitmap(11, 3, 0).RowSpan(), 11);
  EXPECT_EQ(MemoryBitmap(11, 3, 8).RowSpan(), 16);
  // Only the lowest set bit counts: 6 aligns like 2.
  EXPECT_EQ(MemoryBitmap(17, 3, 6).RowSpan(), 18);
  // Alignments above 16 pixels are capped at 16.
  EXPECT_EQ(MemoryBitmap(17, 3, 64).RowSpan(), 32);
  EXPECT_EQ(MemoryBitmap(16, 3, 64).RowSpan(), 16);
}

TEST(MemoryBitmap, PixelsStartOn64ByteBoundaryWhateverTheSize) {
  for (int w = 1; w < 40; w += 3) {
    MemoryBitmap bitmap(w, w + 1, 4);
    ASSERT_NE(bitmap.Bits(), nullptr);
    EXPECT_TRUE(AlignedTo64(bitmap.Bits())) << w;
    FillAll(bitmap);
  }
}

TEST(MemoryBitmap, StorageGrowsByAQuarterAndNeverShrinks) {
  MemoryBitmap bitmap(10, 10, 4);
  EXPECT_EQ(bitmap.AllocatedBytes(), 10u * 12u * 4u);
  EXPECT_TRUE(bitmap.Resize(20, 20));
  EXPECT_EQ(bitmap.AllocatedBytes(), 2000u);  // needs 1600, takes a quarter more
  EXPECT_TRUE(bitmap.Resize(21, 20));         // needs 1920: fits
  EXPECT_EQ(bitmap.AllocatedBytes(), 2000u);
  EXPECT_TRUE(bitmap.Resize(3, 3));
  EXPECT_EQ(bitmap.AllocatedBytes(), 2000u);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_FALSE(bitmap.Resize(3, 3));
  FillAll(bitmap);
}

TEST(MemoryBitmap, EmptyNegativeAndImpossibleSizesLeaveNoPixels) {
  MemoryBitmap empty(0, 0, 4);
  EXPECT_EQ(empty.Bits(), nullptr);
  EXPECT_EQ(empty.DeviceContext(), nullptr);

  MemoryBitmap bitmap(8, 8, 4);
  const struct {
    int w, h;
  } sizes[] = {{0, 0}, {5, 0}, {0, 5}, {-8, -8}, {-8, 4}, {INT_MAX, INT_MAX}, {INT_MAX, 1}};
  for (const auto& size : sizes) {
    bitmap.Resize(8, 8);
    ASSERT_NE(bitmap.Bits(), nullptr);
    bitmap.Resize(size.w, size.h);
    EXPECT_EQ(bitmap.Bits(), nullptr) << size.w << " x " << size.h;
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
  }
}

TEST(SystemBitmap, RowsArePaddedToFourPixels) {
  SystemBitmap surface(410, 680);
  EXPECT_EQ(surface.Width(), 410);
  EXPECT_EQ(surface.Height(), 680);
  EXPECT_EQ(surface.RowSpan(), 412);
  EXPECT_FALSE(surface.IsFlipped());
  ASSERT_NE(surface.Bits(), nullptr);
  FillAll(surface);
}

TEST(SystemBitmap, KeepsItsPixelsWhenShrinkingAndReplacesThemToGrow) {
  SystemBitmap surface(410, 680);
  Pixel* const first = surface.Bits();
  EXPECT_TRUE(surface.Resize(100, 50));
  EXPECT_EQ(surface.Bits(), first);
  EXPECT_EQ(surface.RowSpan(), 412);
  EXPECT_EQ(surface.Width(), 100);
  EXPECT_FALSE(surface.Resize(100, 50));

  EXPECT_TRUE(surface.Resize(501, 700));
  EXPECT_EQ(surface.RowSpan(), 504);
  EXPECT_EQ(surface.Height(), 700);
  FillAll(surface);
}

TEST(SystemBitmap, ResizingToNothingDropsThePixelsAndTheSize) {
  SystemBitmap surface(64, 64);
  EXPECT_FALSE(surface.Resize(0, 10));
  EXPECT_EQ(surface.Bits(), nullptr);
  EXPECT_EQ(surface.Width(), 0);
  EXPECT_EQ(surface.Height(), 0);
  EXPECT_TRUE(surface.Resize(5, 5));
  ASSERT_NE(surface.Bits(), nullptr);
  EXPECT_EQ(surface.RowSpan(), 8);
  FillAll(surface);
}

TEST(SystemBitmap, HasADrawingContext) {
  SystemBitmap surface(410, 680);
  EXPECT_NE(surface.DeviceContext(), nullptr);
  EXPECT_TRUE(surface.Resize(20, 10));
  EXPECT_NE(surface.DeviceContext(), nullptr);
}

// The images drawn at twice the size: exactly twice the 1x size, the same picture when halved, and not a
// pixel-doubled copy of the 1x image.
#include "MemoryBitmap.h"
#include "PngResource.h"
#include "ScaledBlit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

TEST(DoubleSizeArt, EachImageHalvesToItsOneTimesTwin) {
  for (int id = kBackgroundPngId; id <= kSnapLedPngId; ++id) {
    std::unique_ptr<RasterBitmap> one(PngFromResource(nullptr, id, nullptr));
    std::unique_ptr<RasterBitmap> two(PngFromResource(nullptr, id + kDoubleSizePngOffset, nullptr));
    ASSERT_TRUE(one && two) << id;
    ASSERT_EQ(two->Width(), 2 * one->Width()) << id;
    ASSERT_EQ(two->Height(), 2 * one->Height()) << id;

    MemoryBitmap halved(one->Width(), one->Height(), 4);
    ASSERT_TRUE(ScaledBlit(&halved, {0, 0, one->Width(), one->Height()}, two.get(), nullptr));
    // Alpha-weighted colour difference: text is drawn on each grid, so single pixels differ, the mean does not.
    double sum = 0.0, detail = 0.0;
    int n = 0;
    for (int y = 0; y < one->Height(); ++y)
      for (int x = 0; x < one->Width(); ++x) {
        const Pixel p = RowAddress(halved, y)[x], q = RowAddress(*one, y)[x];
        for (int shift = 0; shift < 32; shift += 8) sum += std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF));
        ++n;
        // Within each 2 x 2 block a doubled copy is flat; real detail is not.
        const Pixel* r0 = RowAddress(*two, 2 * y) + 2 * x;
        const Pixel* r1 = RowAddress(*two, 2 * y + 1) + 2 * x;
        if (r0[0] != r0[1] || r0[0] != r1[0] || r0[0] != r1[1]) ++detail;
      }
    EXPECT_LT(sum / (4.0 * n), 3.0) << "image " << id;
    EXPECT_GT(detail / n, 0.02) << "image " << id;
  }
}

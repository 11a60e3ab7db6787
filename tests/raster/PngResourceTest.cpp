// Every image decodes from the library's own resources with its size, frame layout and alpha.
#include "PngResource.h"
#include "SystemBitmap.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<RasterBitmap> Load(int id) { return std::unique_ptr<RasterBitmap>(PngFromResource(nullptr, id, nullptr)); }

int Alpha(RasterBitmap& bitmap, int x, int y) { return static_cast<int>(RowAddress(bitmap, y)[x] >> 24); }

int Brightness(RasterBitmap& bitmap, int x, int y) {
  const Pixel p = RowAddress(bitmap, y)[x];
  return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
}

// A round sprite: opaque in the middle of the frame, transparent in its corners.
void ExpectRoundFrame(RasterBitmap& bitmap, int frameSize, int frame) {
  const int top = frameSize * frame, last = frameSize - 1;
  EXPECT_EQ(Alpha(bitmap, frameSize / 2, top + frameSize / 2), 255) << "frame " << frame;
  EXPECT_EQ(Alpha(bitmap, 0, top), 0) << "frame " << frame;
  EXPECT_EQ(Alpha(bitmap, last, top), 0) << "frame " << frame;
  EXPECT_EQ(Alpha(bitmap, 0, top + last), 0) << "frame " << frame;
  EXPECT_EQ(Alpha(bitmap, last, top + last), 0) << "frame " << frame;
}

}  // namespace

TEST(PngResource, BackgroundIsOpaqueAndEditorSized) {
  auto background = Load(kBackgroundPngId);
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->Width(), 410);
  EXPECT_EQ(background->Height(), 680);
  for (int y = 0; y < 680; ++y) {
    for (int x = 0; x < 410; ++x) ASSERT_EQ(Alpha(*background, x, y), 255) << x << ", " << y;
  }
}

TEST(PngResource, FaderHandleIsARoundKnob) {
  auto handle = Load(kFaderHandlePngId);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->Width(), 12);
  EXPECT_EQ(handle->Height(), 12);
  ExpectRoundFrame(*handle, 12, 0);
}

TEST(PngResource, MuteLedIsOffWhenTransparentAndLitInItsSecondFrame) {
  auto led = Load(kMuteLedPngId);
  ASSERT_NE(led, nullptr);
  EXPECT_EQ(led->Width(), 11);
  EXPECT_EQ(led->Height(), 22);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 11; ++x) EXPECT_EQ(Alpha(*led, x, y), 0) << x << ", " << y;
  }
  ExpectRoundFrame(*led, 11, 1);
}

TEST(PngResource, SnapAndSpareLedsShowTwoRoundFramesTheSecondBrighter) {
  const struct {
    int id, size;
  } leds[] = {{kSnapLedPngId, 12}, {kSpareLedPngId, 11}};
  for (const auto& expected : leds) {
    auto led = Load(expected.id);
    ASSERT_NE(led, nullptr) << expected.id;
    EXPECT_EQ(led->Width(), expected.size);
    EXPECT_EQ(led->Height(), 2 * expected.size);
    ExpectRoundFrame(*led, expected.size, 0);
    ExpectRoundFrame(*led, expected.size, 1);
    const int c = expected.size / 2;
    EXPECT_GT(Brightness(*led, c, expected.size + c), Brightness(*led, c, c) + 150) << expected.id;
  }
}

TEST(PngResource, DecodesIntoAGivenDrawSurface) {
  SystemBitmap surface(1, 1);
  EXPECT_EQ(PngFromResource(nullptr, kBackgroundPngId, &surface), &surface);
  EXPECT_EQ(surface.Width(), 410);
  EXPECT_EQ(surface.RowSpan(), 412);
}

TEST(PngResource, UnknownIdsGiveNothing) {
  for (int id : {0, -1, 99, 105, 1000}) {
    EXPECT_EQ(FindPngResource(nullptr, id).mData, nullptr) << id;
    EXPECT_EQ(FindPngResource(nullptr, id).mSize, 0u) << id;
    EXPECT_EQ(PngFromResource(nullptr, id, nullptr), nullptr) << id;
  }
  EXPECT_NE(FindPngResource(nullptr, kSpareLedPngId).mData, nullptr);
}

// Pixels reach an X11 window unchanged through shared memory and through plain requests, only inside the
// rectangle asked for, also when a rectangle is larger than one request may carry.
#include <gtest/gtest.h>

#include <cstdlib>

#include "X11ImageTransfer.h"
#include "X11TestDisplay.h"

namespace {

std::vector<Pixel> Pattern(int width, int height, Pixel salt) {
  std::vector<Pixel> p(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p[size_t(y) * size_t(width) + size_t(x)] = (Pixel(x * 7 + y) * 2654435761u) ^ salt;
  return p;
}

std::vector<std::uint32_t> Expected(const std::vector<Pixel>& p) {
  std::vector<std::uint32_t> e(p.size());
  for (size_t i = 0; i < p.size(); ++i) e[i] = p[i] & 0xFFFFFFu;
  return e;
}

class X11ImageTransferTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { REQUIRE_X_DISPLAY(x); }
  X11TestDisplay x;
};

}  // namespace

TEST_P(X11ImageTransferTest, CopiesTheRectangleAndNothingElse) {
  const int w = 300, h = 200;
  const xcb_window_t window = x.MakeWindow(0, 0, w, h);
  X11ImageTransfer transfer(x.Connection(), window, w, h, 24, false, GetParam());
  EXPECT_EQ(transfer.UsesSharedMemory(), GetParam()) << "Xvfb offers shared memory to local clients";
  const std::vector<Pixel> first = Pattern(w, h, 0);
  transfer.Put(first.data(), w, IRect(-10, -10, w + 10, h + 10));
  x.Sync();
  EXPECT_EQ(x.Pixels(window, w, h), Expected(first));

  // A second picture, with rows farther apart than its width, shown only in a small rectangle.
  const int span = w + 13;
  const std::vector<Pixel> second = Pattern(span, h, 0x00FF00FFu);
  const IRect part(17, 33, 61, 90);
  transfer.Put(second.data(), span, part);
  x.Sync();
  const std::vector<std::uint32_t> shown = x.Pixels(window, w, h);
  for (int y = 0; y < h; ++y)
    for (int px = 0; px < w; ++px) {
      const Pixel from = part.Contains(px, y) ? second[size_t(y) * size_t(span) + size_t(px)]
                                              : first[size_t(y) * size_t(w) + size_t(px)];
      ASSERT_EQ(shown[size_t(y) * size_t(w) + size_t(px)], from & 0xFFFFFFu) << px << ", " << y;
    }
  x.DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(SharedMemoryAndPlain, X11ImageTransferTest, ::testing::Values(true, false));

TEST(X11ImageTransferBig, PlainRequestsSplitWhatOneRequestCannotCarry) {
  X11TestDisplay x;
  REQUIRE_X_DISPLAY(x);
  // More than the 16 MiB that one request may carry even with big requests.
  const int w = 2100, h = 2100;
  ASSERT_GT(size_t(w) * size_t(h) * 4, size_t(xcb_get_maximum_request_length(x.Connection())) * 4);
  // A pixmap: a window that large would reach past the screen, where its pixels cannot be read back.
  const xcb_window_t screenWindow = x.MakeWindow(0, 0, 10, 10);
  const xcb_pixmap_t pixmap = xcb_generate_id(x.Connection());
  xcb_create_pixmap(x.Connection(), 24, pixmap, screenWindow, w, h);
  X11ImageTransfer transfer(x.Connection(), pixmap, w, h, 24, false, false);
  const std::vector<Pixel> picture = Pattern(w, h, 0x123456u);
  transfer.Put(picture.data(), w, IRect(0, 0, w, h));
  x.Sync();
  ASSERT_FALSE(xcb_connection_has_error(x.Connection()));
  // Rows across the whole height, read back in strips.
  for (int top = 0; top < h; top += 300) {
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        x.Connection(),
        xcb_get_image(x.Connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, std::int16_t(top), w, 4, ~0u), nullptr);
    ASSERT_NE(image, nullptr);
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
    for (int i = 0; i < w * 4; ++i)
      ASSERT_EQ(data[i] & 0xFFFFFFu, picture[size_t(top) * size_t(w) + size_t(i)] & 0xFFFFFFu) << "row " << top;
    std::free(image);
  }
  xcb_free_pixmap(x.Connection(), pixmap);
  x.DestroyWindow(screenWindow);
}

// The background picture has its tracks, text boxes, LED sockets and arrow boxes where the editor's controls sit.
#include "PngResource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

struct Rgb {
  int r, g, b;
};

constexpr Rgb kField{113, 152, 84};
constexpr Rgb kPanel{169, 189, 110};
constexpr Rgb kTrack{87, 118, 65};
constexpr Rgb kOutline{137, 154, 89};

struct Panel {
  int top, bottom;
};
constexpr Panel kPanels[] = {{32, 87}, {96, 151}, {160, 255}, {264, 463}, {472, 671}};
constexpr int kPanelLeft = 8, kPanelRight = 399;

// The y of each fader row; its track runs x 120 to 303 and y to y + 5, its read-out sits at x 308 to 337.
constexpr int kFaderY[] = {216, 192, 420, 304, 329, 352, 376, 628, 512, 536, 560, 584};
constexpr int kTrackLeft = 120, kTrackRight = 303;

// Switch rectangles: position and LED frame size.
struct Led {
  int x, y, size;
};
constexpr Led kLeds[] = {{360, 128, 11}, {359, 232, 11}, {359, 439, 11}, {360, 304, 11}, {360, 328, 11},
                         {360, 352, 11}, {360, 376, 11}, {359, 647, 11}, {360, 512, 11}, {360, 536, 11},
                         {360, 560, 11}, {360, 584, 11}, {111, 39, 12}};

// Text boxes: inclusive x bounds and the top of the text control inside; the box runs from y - 3 to y + 16.
struct Box {
  int left, right, y;
};
constexpr Box kBoxes[] = {{111, 152, 125}, {247, 288, 125}, {111, 152, 231}, {247, 288, 231},
                          {111, 152, 437}, {111, 216, 393}, {247, 288, 439}, {111, 152, 645},
                          {111, 216, 601}, {247, 288, 645}, {111, 152, 61},  {247, 352, 63}};
constexpr int kAlgorithmTextY[] = {393, 601};
constexpr int kArrowLeft = 222, kArrowRight = 232;

class BackgroundImage : public testing::Test {
 protected:
  static void SetUpTestSuite() { sImage.reset(PngFromResource(nullptr, kBackgroundPngId, nullptr)); }
  static void TearDownTestSuite() { sImage.reset(); }

  void SetUp() override { ASSERT_NE(sImage, nullptr); }

  static Rgb At(int x, int y) {
    const Pixel p = RowAddress(*sImage, y)[x];
    return Rgb{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
  }
  static bool Is(int x, int y, Rgb c) {
    const Rgb p = At(x, y);
    return p.r == c.r && p.g == c.g && p.b == c.b;
  }
  static bool Near(int x, int y, Rgb c, int tolerance) {
    const Rgb p = At(x, y);
    return std::abs(p.r - c.r) <= tolerance && std::abs(p.g - c.g) <= tolerance && std::abs(p.b - c.b) <= tolerance;
  }
  static int DarkPixels(int left, int top, int right, int bottom, int limit = 150) {
    int count = 0;
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        const Rgb p = At(x, y);
        if (p.r + p.g + p.b < limit) ++count;
      }
    }
    return count;
  }

  static std::unique_ptr<RasterBitmap> sImage;
};

std::unique_ptr<RasterBitmap> BackgroundImage::sImage;

}  // namespace

TEST_F(BackgroundImage, PanelsWithRoundedCornersOnTheField) {
  EXPECT_TRUE(Is(4, 4, kField));
  EXPECT_TRUE(Is(405, 675, kField));
  for (const Panel& panel : kPanels) {
    const int middle = (panel.top + panel.bottom) / 2;
    EXPECT_TRUE(Is(390, panel.top + 3, kPanel)) << panel.top;
    EXPECT_TRUE(Is(390, panel.bottom - 3, kPanel)) << panel.top;
    EXPECT_TRUE(Is(kPanelLeft + 3, middle, kPanel)) << panel.top;
    EXPECT_TRUE(Is(kPanelLeft, middle, kPanel)) << panel.top;
    EXPECT_TRUE(Is(kPanelRight, middle, kPanel)) << panel.top;
    EXPECT_TRUE(Is(kPanelLeft - 1, middle, kField)) << panel.top;
    EXPECT_TRUE(Is(kPanelRight + 1, middle, kField)) << panel.top;
    EXPECT_TRUE(Is(200, panel.top - 1, kField)) << panel.top;
    EXPECT_TRUE(Is(200, panel.bottom + 1, kField)) << panel.top;
    // Rounded: the very corner pixels show the field.
    EXPECT_TRUE(Is(kPanelLeft, panel.top, kField)) << panel.top;
    EXPECT_TRUE(Is(kPanelRight, panel.bottom, kField)) << panel.top;
  }
}

TEST_F(BackgroundImage, EveryFaderHasASixPixelTrackUnderItsTravel) {
  for (int y : kFaderY) {
    for (int row = y; row < y + 6; ++row) {
      for (int x = kTrackLeft; x <= kTrackRight; ++x) ASSERT_TRUE(Is(x, row, kTrack)) << x << ", " << row;
    }
    EXPECT_TRUE(Is(200, y - 1, kPanel)) << y;
    EXPECT_TRUE(Is(200, y + 6, kPanel)) << y;
    EXPECT_TRUE(Is(kTrackLeft - 1, y + 2, kPanel)) << y;
    EXPECT_TRUE(Is(kTrackRight + 1, y + 2, kPanel)) << y;
    // The read-out's own area is left plain for its text.
    for (int row = y - 3; row < y + 13; ++row) {
      for (int x = 308; x < 338; ++x) ASSERT_TRUE(Is(x, row, kPanel)) << x << ", " << row;
    }
    // A label stands left of the track.
    EXPECT_GT(DarkPixels(14, y - 6, 110, y + 11), 20) << y;
  }
}

TEST_F(BackgroundImage, EveryTextFieldHasABoxWithATwoPixelOutline) {
  for (const Box& box : kBoxes) {
    const int top = box.y - 3, bottom = box.y + 16;
    for (int x = box.left; x <= box.right; ++x) {
      for (int row : {top, top + 1, bottom - 1, bottom}) ASSERT_TRUE(Is(x, row, kOutline)) << x << ", " << row;
    }
    for (int row = top; row <= bottom; ++row) {
      for (int x : {box.left, box.left + 1, box.right - 1, box.right}) {
        ASSERT_TRUE(Is(x, row, kOutline)) << x << ", " << row;
      }
    }
    // Inside the outline, where the text goes, is neither outline nor panel.
    EXPECT_FALSE(Is(box.left + 2, box.y, kOutline)) << box.left << ", " << box.y;
    EXPECT_FALSE(Is(box.left + 2, box.y, kPanel)) << box.left << ", " << box.y;
    EXPECT_TRUE(Is(box.left - 1, box.y + 6, kPanel)) << box.left << ", " << box.y;
    EXPECT_TRUE(Is(box.right + 1, box.y + 6, kPanel)) << box.left << ", " << box.y;
  }
}

TEST_F(BackgroundImage, EveryLedHasAnOutlinedSocketUnderIt) {
  for (const Led& led : kLeds) {
    const int c = led.size / 2, last = led.size - 1;
    // The ring's outermost pixels are mostly ring, so they stay close to the outline colour.
    EXPECT_TRUE(Near(led.x + c, led.y, kOutline, 16)) << led.x << ", " << led.y;
    EXPECT_TRUE(Near(led.x + c, led.y + last, kOutline, 16)) << led.x << ", " << led.y;
    EXPECT_TRUE(Near(led.x, led.y + c, kOutline, 16)) << led.x << ", " << led.y;
    EXPECT_TRUE(Near(led.x + last, led.y + c, kOutline, 16)) << led.x << ", " << led.y;
    // The socket is darker than the panel; the corners of the rectangle are panel.
    const Rgb centre = At(led.x + c, led.y + c);
    EXPECT_LT(centre.r + centre.g + centre.b, kPanel.r + kPanel.g + kPanel.b - 60) << led.x << ", " << led.y;
    EXPECT_TRUE(Is(led.x, led.y, kPanel)) << led.x << ", " << led.y;
    EXPECT_TRUE(Is(led.x + last, led.y + last, kPanel)) << led.x << ", " << led.y;
  }
}

TEST_F(BackgroundImage, AlgorithmBoxesHaveArrowBoxesBesideThem) {
  for (int y : kAlgorithmTextY) {
    const int top = y - 3, bottom = y + 16, middle = (top + bottom) / 2;
    for (int row = top; row <= bottom; ++row) {
      EXPECT_TRUE(Is(kArrowLeft, row, kOutline)) << row;
      EXPECT_TRUE(Is(kArrowRight, row, kOutline)) << row;
    }
    for (int row : {top, middle, middle + 1, bottom}) EXPECT_TRUE(Is(227, row, kOutline)) << row;
    // Each holds an arrow, darker than the outline.
    const int outline = kOutline.r + kOutline.g + kOutline.b;
    EXPECT_GT(DarkPixels(kArrowLeft + 1, top + 1, kArrowRight - 1, middle - 1, outline), 2) << y;
    EXPECT_GT(DarkPixels(kArrowLeft + 1, middle + 2, kArrowRight - 1, bottom - 1, outline), 2) << y;
    EXPECT_TRUE(Is(kArrowLeft - 1, y + 6, kPanel)) << y;
  }
}

TEST_F(BackgroundImage, TitleLineNamesProductAndVendor) {
  // Light lettering on the field above the first panel, at the left and at the right.
  int left = 0, right = 0;
  for (int y = 2; y < 30; ++y) {
    for (int x = 4; x < 205; ++x) left += At(x, y).r > 200;
    for (int x = 205; x < 406; ++x) right += At(x, y).r > 200;
  }
  EXPECT_GT(left, 60);
  EXPECT_GT(right, 30);
}

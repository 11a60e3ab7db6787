// The Linux graphics host: FreeType text, bitmaps from the library's resources and the shared cache, blits
// clipped to the repaint area, and the hand-over to a window.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "BitmapCache.h"
#include "FakeEditorWindow.h"
#include "FakeGraphics.h"
#include "FreeTypeFont.h"
#include "IBitmapControl.h"
#include "IGraphicsLinux.h"
#include "IParameter.h"
#include "ITextControl.h"
#include "PixelProbe.h"
#include "PlatformGraphics.h"

namespace {

const IWindowNames kTestWindowNames{"TestEditorClass", "Test editor"};

const IColor kWhite(255, 255, 255, 255);
const IColor kBlack(255, 0, 0, 0);

std::unique_ptr<IGraphicsLinux> MakeHost(int w = 200, int h = 60) {
  std::unique_ptr<IGraphicsLinux> g(dynamic_cast<IGraphicsLinux*>(MakePlatformGraphics(nullptr, w, h, 0, nullptr, kTestWindowNames)));
  g->PrepareDrawing();
  const IRect all(0, 0, w, h);
  const IBlend copy(IBlend::BlendCopy, 1.0f);
  g->FillRect(&kWhite, &all, &copy);
  return g;
}

ITextStyle Style(int align, const IColor& color = kBlack, int size = 14) {
  return ITextStyle("Arial", size, color, ITextStyle::StyleNormal, align, 0);
}

}  // namespace

TEST(IGraphicsLinuxText, ArialResolvesToAMetricCompatibleFaceAtTheCellHeight) {
  auto g = MakeHost();
  const ITextStyle style = Style(ITextStyle::AlignNear);
  const IRect rect(10, 10, 190, 30);
  EXPECT_TRUE(g->DrawText(&style, "Major", &rect));
  ASSERT_NE(g->Font(), nullptr);
  EXPECT_NE(std::strstr(g->Font()->FilePath(), "LiberationSans"), nullptr) << g->Font()->FilePath();
  // Liberation Sans, like Arial, puts 1854 of its 2288 cell units above the baseline: 11 of 14 pixels.
  EXPECT_EQ(g->Font()->Ascent(), 11);
}

TEST(IGraphicsLinuxText, AlignsLeftCentreAndRightFromTheTopAntialiased) {
  const IRect rect(10, 10, 190, 30);
  int widths[3] = {};
  for (int align : {ITextStyle::AlignNear, ITextStyle::AlignCenter, ITextStyle::AlignFar}) {
    auto g = MakeHost();
    const ITextStyle style = Style(align);
    ASSERT_TRUE(g->DrawText(&style, "Major", &rect));
    const Ink ink = FindInk(*g->GetDrawBitmap(), nullptr, IRect(0, 0, 200, 60), 600);
    ASSERT_GT(ink.mCount, 20);
    widths[align] = ink.mBounds.W();
    if (align == ITextStyle::AlignNear) {
      EXPECT_NEAR(ink.mBounds.L, 10, 2);
    } else if (align == ITextStyle::AlignFar) {
      EXPECT_NEAR(ink.mBounds.R, 190, 2);
    } else {
      EXPECT_NEAR((ink.mBounds.L + ink.mBounds.R) / 2.0, 100.0, 2.0);
    }
    // Capitals start a little below the cell's top; the descender of j ends inside the cell.
    EXPECT_GE(ink.mBounds.T, 10);
    EXPECT_LE(ink.mBounds.T, 13);
    EXPECT_LE(ink.mBounds.B, 10 + 14);
    EXPECT_NEAR(ink.mBounds.W(), g->Font()->TextWidth("Major"), 2);
    int partial = 0;
    for (int y = ink.mBounds.T; y < ink.mBounds.B; ++y)
      for (int x = ink.mBounds.L; x < ink.mBounds.R; ++x) {
        const int b = Brightness(PixelAt(*g->GetDrawBitmap(), x, y));
        if (b > 60 && b < 700) ++partial;
      }
    EXPECT_GT(partial, 10) << "edges should be antialiased";
  }
  EXPECT_EQ(widths[0], widths[1]);
  EXPECT_EQ(widths[1], widths[2]);
}

TEST(IGraphicsLinuxText, FontIsMadeOnceAndLaterStylesChangeOnlyTheColour) {
  auto g = MakeHost();
  const ITextStyle first = Style(ITextStyle::AlignNear);
  const IRect left(5, 5, 100, 25), right(100, 5, 195, 25);
  ASSERT_TRUE(g->DrawText(&first, "1", &left));
  const FreeTypeFont* font = g->Font();
  ITextStyle red = Style(ITextStyle::AlignNear, IColor(255, 255, 0, 0), 30);
  red.mStyle = ITextStyle::StyleBold;
  ASSERT_TRUE(g->DrawText(&red, "1", &right));
  EXPECT_EQ(g->Font(), font);
  EXPECT_EQ(g->Font()->CellHeight(), 14);
  EXPECT_EQ(g->LastTextColor(), IColor(255, 255, 0, 0));
  // The second text is red: some pixel has full red and little green.
  bool reddish = false;
  for (int y = 5; y < 25; ++y)
    for (int x = 100; x < 195; ++x) {
      const Pixel p = PixelAt(*g->GetDrawBitmap(), x, y);
      if (((p >> 16) & 0xFF) > 240 && ((p >> 8) & 0xFF) < 80) reddish = true;
    }
  EXPECT_TRUE(reddish);
}

TEST(IGraphicsLinuxText, TextStaysInsideTheRepaintAreaAndTheSurface) {
  auto g = MakeHost();
  // A text control that hangs over the surface's right edge, repainted only in its left half.
  g->AttachControl(new ITextControl(nullptr, IRect(150, 10, 250, 30), Style(ITextStyle::AlignNear), "Wwwwwwwwww"));
  const IRect half(0, 0, 170, 60);
  g->Draw(&half);
  const Ink ink = FindInk(*g->GetDrawBitmap(), nullptr, IRect(0, 0, 200, 60), 600);
  ASSERT_GT(ink.mCount, 0);
  EXPECT_GE(ink.mBounds.L, 150);
  EXPECT_LE(ink.mBounds.R, 170);
}

TEST(IGraphicsLinuxBitmaps, ResourcesDecodeByIdAndOnlyPngNames) {
  auto g = MakeHost();
  std::unique_ptr<RasterBitmap> handle(g->LoadPlatformBitmap(101, "img/fader-handle.PNG"));
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(handle->Width(), 12);
  EXPECT_EQ(handle->Height(), 12);
  EXPECT_EQ(g->LoadPlatformBitmap(101, "img/fader-handle.bmp"), nullptr);
  EXPECT_EQ(g->LoadPlatformBitmap(101, "handle"), nullptr);
  EXPECT_EQ(g->LoadPlatformBitmap(999, "img/none.png"), nullptr);
}

TEST(IGraphicsLinuxBitmaps, SecondEditorReusesTheCachedImage) {
  auto first = MakeHost();
  const IBitmap a = first->LoadBitmap(102, "img/mute-led.png", 2);
  const int cached = BitmapCache::Instance().Count();
  auto second = MakeHost();
  const IBitmap b = second->LoadBitmap(102, "another name.png", 1);
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(BitmapCache::Instance().Count(), cached);
  EXPECT_EQ(a.N, 2);
  EXPECT_EQ(b.N, 1);
  EXPECT_EQ(a.W, 11);
  EXPECT_EQ(a.H, 22);
}

TEST(IGraphicsLinuxBitmapsDeathTest, MissingImageIsAFatalLayoutError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(MakeHost()->LoadBitmap(999, "img/none.png", 1), "imgResourceFound");
}

TEST(IGraphicsLinuxBitmaps, BlitsAreClippedToTheDrawRectangle) {
  auto g = MakeHost(40, 40);
  const IBitmap led = g->LoadBitmap(104, "img/snap-led.png", 2);
  auto* control = new IBitmapControl(nullptr, 10, 10, -1, led, IBlend::BlendCopy);
  control->SetValueFromPlug(1.0);
  g->AttachControl(control);
  const IRect part(0, 0, 16, 40);
  g->Draw(&part);
  RasterBitmap& drawn = *g->GetDrawBitmap();
  // Inside the repaint area the copy shows frame 2 exactly; outside it nothing changed.
  for (int y = 10; y < 22; ++y) {
    for (int x = 10; x < 16; ++x) EXPECT_EQ(PixelAt(drawn, x, y), PixelAt(*led.mData, x - 10, y - 10 + 12));
    for (int x = 16; x < 22; ++x) EXPECT_EQ(PixelAt(drawn, x, y) & 0xFFFFFF, 0xFFFFFFu);
  }
}

TEST(IGraphicsLinuxWindow, WithoutAWindowPaintingIsANoOpAndOpeningAnswersNull) {
  auto g = MakeHost();
  const IRect r(0, 0, 10, 10);
  EXPECT_TRUE(g->PaintToWindow(&r));
  EXPECT_EQ(g->OpenWindow(reinterpret_cast<void*>(0x99)), nullptr);
  EXPECT_EQ(g->GetWindow(), nullptr);
  EXPECT_FALSE(g->WindowIsOpen());
  ProbeControl control(nullptr, IRect(0, 0, 5, 5), 0);
  IParameter param;
  g->OpenTextEntry(&control, &param, false);
  EXPECT_EQ(g->EditedControl(), nullptr);
}

TEST(IGraphicsLinuxWindow, WindowGetsPaintsAndEntryRequestsAndEveryControlIsRedrawn) {
  auto g = MakeHost();
  auto* control = new ProbeControl(nullptr, IRect(0, 0, 5, 5), 0);
  g->AttachControl(control);
  const IRect all(0, 0, 200, 60);
  g->Draw(&all);
  ASSERT_FALSE(control->IsDirty());
  g->SetWindowFactory(FakeEditorWindow::Make<IGraphicsLinux>);
  EXPECT_EQ(g->OpenWindow(reinterpret_cast<void*>(0x99)), reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(g->ParentWindow(), reinterpret_cast<void*>(0x99));
  EXPECT_TRUE(control->IsDirty());
  FakeEditorWindow* window = FakeEditorWindow::sLast;
  ASSERT_NE(window, nullptr);
  IRect dirty;
  ASSERT_TRUE(g->IsDirty(&dirty));
  g->Draw(&dirty);
  EXPECT_EQ(window->mPaints, (std::vector<IRect>{IRect(0, 0, 5, 5)}));

  IParameter param;
  g->OpenTextEntry(nullptr, &param, false);
  g->OpenTextEntry(control, nullptr, false);
  EXPECT_TRUE(window->mEntries.empty());
  g->OpenTextEntry(control, &param, false);
  ASSERT_EQ(window->mEntries.size(), 1u);
  EXPECT_EQ(window->mEntries[0].mControl, control);
  EXPECT_EQ(window->mEntries[0].mParam, &param);
  EXPECT_FALSE(window->mEntries[0].mTextMode);
  EXPECT_EQ(g->EditedControl(), control);
  EXPECT_EQ(g->EditedParam(), &param);
  g->OpenTextEntry(control, &param, true);  // a box is open already
  EXPECT_EQ(window->mEntries.size(), 1u);
  g->CloseWindow();
  EXPECT_EQ(FakeEditorWindow::sLast, nullptr);
  EXPECT_EQ(g->EditedControl(), nullptr);

  g->OpenWindow(reinterpret_cast<void*>(0x99));
  g->OpenTextEntry(control, &param, true);
  EXPECT_EQ(g->EditedControl(), control);
  EXPECT_EQ(g->EditedParam(), nullptr) << "what is typed in text mode sets no parameter";
}

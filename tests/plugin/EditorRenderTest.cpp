// Cyclochord's whole editor drawn off screen right after construction, written to editor-render.png and probed:
// handles, LEDs, read-outs and parameter texts where the picture has their places.
#include <gtest/gtest.h>

#include <string>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "FreeTypeFont.h"
#include "IControl.h"
#include "IGraphicsLinux.h"
#include "PixelProbe.h"
#include "TestHost.h"

namespace {

struct Render {
  TestHost host;
  IGraphicsLinux* g = nullptr;
  RasterBitmap* drawn = nullptr;
  RasterBitmap* background = nullptr;

  Render() {
    AEffect* effect = host.Load(CreatePluginInstance);
    g = dynamic_cast<IGraphicsLinux*>(VstPluginOf(effect)->GetGraphics());
    if (!g) return;
    // The first tick of a freshly opened window: everything is dirty.
    IRect dirty;
    g->IsDirty(&dirty);
    g->Draw(&dirty);
    drawn = g->GetDrawBitmap();
    background = g->LoadBitmap(100, "img/bg.png").mData;
  }
};

const int kFaderY[] = {216, 192, 420, 304, 329, 352, 376, 628, 512, 536, 560, 584};

}  // namespace

TEST(EditorRender, WholeEditorRightAfterConstruction) {
  Render r;
  ASSERT_NE(r.g, nullptr);
  ASSERT_NE(r.drawn, nullptr);
  ASSERT_EQ(r.drawn->Width(), 410);
  ASSERT_EQ(r.drawn->Height(), 680);
  EXPECT_TRUE(WritePng(*r.drawn, "editor-render.png"));

  // Handles sit at the centre of their tracks: value 0.5 puts the 12-pixel handle at x 206..217.
  const IBitmap handle = r.g->LoadBitmap(101, "img/fader-handle.png");
  for (int y : kFaderY) {
    int opaque = 0;
    for (int hy = 0; hy < 12; ++hy)
      for (int hx = 0; hx < 12; ++hx) {
        const Pixel h = PixelAt(*handle.mData, hx, hy);
        if ((h >> 24) != 255) continue;
        ++opaque;
        EXPECT_EQ(PixelAt(*r.drawn, 206 + hx, y - 3 + hy) & 0xFFFFFF, h & 0xFFFFFF) << "fader at y " << y;
      }
    EXPECT_GT(opaque, 40);
    // The rest of the track shows the picture.
    for (int x : {125, 180, 230, 298}) EXPECT_EQ(PixelAt(*r.drawn, x, y + 3), PixelAt(*r.background, x, y + 3));
  }

  // The LEDs show frame 1: the mute LED's is fully transparent, the snap LED's is drawn over the picture.
  const IBitmap mute = r.g->LoadBitmap(102, "img/mute-led.png", 2);
  const IBitmap snap = r.g->LoadBitmap(104, "img/snap-led.png", 2);
  for (int i = 0; i < 13; ++i) {
    const IRect rect = r.g->GetControl(25 + i)->GetRECT();
    const IBitmap& led = i == 12 ? snap : mute;
    for (int y = 0; y < rect.H(); ++y)
      for (int x = 0; x < rect.W(); ++x) {
        const Pixel f = PixelAt(*led.mData, x, y);
        const Pixel d = PixelAt(*r.drawn, rect.L + x, rect.T + y);
        if ((f >> 24) == 0) {
          EXPECT_EQ(d, PixelAt(*r.background, rect.L + x, rect.T + y));
        } else if ((f >> 24) == 255) {
          EXPECT_EQ(d & 0xFFFFFF, f & 0xFFFFFF);
        }
      }
  }

  // Read-outs show 0, centred in their boxes.
  const int zeroWidth = r.g->Font()->TextWidth("0");
  for (int i = 0; i < 12; ++i) {
    const IRect rect = r.g->GetControl(2 + 2 * i)->GetRECT();
    const Ink ink = FindInk(*r.drawn, r.background, rect);
    ASSERT_GT(ink.mCount, 5) << "read-out " << i;
    EXPECT_NEAR((ink.mBounds.L + ink.mBounds.R) / 2.0, (rect.L + rect.R) / 2.0, 1.5) << "read-out " << i;
    EXPECT_NEAR(ink.mBounds.W(), zeroWidth, 2) << "read-out " << i;
  }

  // Parameter texts: their ink starts at the box's left and is as wide as the expected text, inside the box.
  struct Expected {
    int mControl;
    const char* mText;
    int mBoxRight;
  };
  const Expected texts[] = {{38, "1", 152},  {39, "--off--", 288}, {40, "1", 152},  {41, "--off--", 288},
                            {42, "1", 152},  {43, "Up", 216},      {44, "--off--", 288}, {45, "1", 152},
                            {46, "Up", 216}, {47, "--off--", 288}, {48, "C", 152},   {49, "Major", 352}};
  for (const Expected& e : texts) {
    const IRect rect = r.g->GetControl(e.mControl)->GetRECT();
    const IRect area(rect.L, rect.T, e.mBoxRight, rect.B);
    const Ink ink = FindInk(*r.drawn, r.background, area);
    ASSERT_GT(ink.mCount, 5) << e.mText;
    EXPECT_NEAR(ink.mBounds.L, rect.L + 1, 2) << e.mText;
    EXPECT_NEAR(ink.mBounds.W(), r.g->Font()->TextWidth(e.mText), 2) << e.mText;
    EXPECT_LT(ink.mBounds.R, e.mBoxRight) << e.mText;
    // Nothing of it spills past the box.
    EXPECT_EQ(FindInk(*r.drawn, r.background, IRect(e.mBoxRight, rect.T, rect.R, rect.B)).mCount, 0) << e.mText;
  }

  // Nothing is dirty after the first pass but the redraws that attachment asked for, and then nothing at all.
  IRect again;
  r.g->IsDirty(&again);
  r.g->Draw(&again);
  IRect idle;
  EXPECT_FALSE(r.g->IsDirty(&idle));
}

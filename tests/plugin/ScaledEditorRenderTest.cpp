// Cyclochord's editor drawn off screen at 100, 150 and 200 %: sizes, pictures to look at (editor-render-150.png,
// editor-render-200.png), a larger picture that halves to the 100 % one and yet carries detail of its own, the
// mouse's pixel-to-unit mapping, and a change of scale that redraws everything once and then nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "IControl.h"
#include "IGraphicsLinux.h"
#include "MemoryBitmap.h"
#include "PixelProbe.h"
#include "ScaledBlit.h"
#include "TestHost.h"

namespace {

struct ScaledRender {
  TestHost host;
  IGraphicsLinux* g = nullptr;

  explicit ScaledRender(double scale) {
    AEffect* effect = host.Load(CreatePluginInstance);
    g = dynamic_cast<IGraphicsLinux*>(VstPluginOf(effect)->GetGraphics());
    if (!g) return;
    g->SetScale(scale);
    IRect dirty;
    g->IsDirty(&dirty);
    g->Draw(&dirty);
  }
  RasterBitmap& Drawn() const { return *g->GetDrawBitmap(); }
};

// Mean difference per channel, and the worst, over an area of two pictures of one size.
struct Difference {
  double mMean = 0;
  int mWorst = 0;
};

Difference Compare(RasterBitmap& a, RasterBitmap& b, const IRect& area) {
  Difference d;
  long n = 0;
  for (int y = area.T; y < area.B; ++y)
    for (int x = area.L; x < area.R; ++x) {
      const Pixel p = PixelAt(a, x, y), q = PixelAt(b, x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        const int diff = std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF));
        d.mMean += diff;
        d.mWorst = std::max(d.mWorst, diff);
        ++n;
      }
    }
  d.mMean /= double(n);
  return d;
}

// The share of whole-unit blocks (s x s pixels) inside area that are not flat: a picture enlarged pixel by
// pixel has none.
double Detail(RasterBitmap& b, const IRect& area, int s) {
  int blocks = 0, varied = 0;
  for (int y = area.T * s; y + s <= area.B * s; y += s)
    for (int x = area.L * s; x + s <= area.R * s; x += s) {
      ++blocks;
      const Pixel first = PixelAt(b, x, y) & 0xFFFFFF;
      bool flat = true;
      for (int dy = 0; dy < s && flat; ++dy)
        for (int dx = 0; dx < s && flat; ++dx) flat = (PixelAt(b, x + dx, y + dy) & 0xFFFFFF) == first;
      varied += !flat;
    }
  return blocks ? double(varied) / blocks : 0.0;
}

}  // namespace

TEST(ScaledEditorRender, EachScaleDrawsTheWholeEditorAtItsSize) {
  ScaledRender one(1.0);
  ASSERT_NE(one.g, nullptr);
  struct Case {
    double scale;
    int width, height;
    double meanLimit;  // against the 100 % picture, after filtering down
  } cases[] = {{1.0, 410, 680, 0.0}, {1.5, 615, 1020, 4.0}, {2.0, 820, 1360, 3.0}};
  for (const Case& c : cases) {
    const int percent = int(c.scale * 100 + 0.5);
    ScaledRender r(c.scale);
    ASSERT_NE(r.g, nullptr);
    EXPECT_EQ(r.g->Width(), 410);
    EXPECT_EQ(r.g->WindowWidth(), c.width);
    ASSERT_EQ(r.Drawn().Width(), c.width) << percent;
    ASSERT_EQ(r.Drawn().Height(), c.height) << percent;
    if (percent != 100) {
      EXPECT_TRUE(WritePng(r.Drawn(), "editor-render-" + std::to_string(percent) + ".png"));
    }

    // Filtered down to 100 %, the picture is the 100 % one but for the last bit of text and edge detail.
    MemoryBitmap down(410, 680, 4);
    ASSERT_TRUE(ScaledBlit(&down, {0, 0, 410, 680}, &r.Drawn(), nullptr));
    const Difference d = Compare(down, one.Drawn(), IRect(0, 0, 410, 680));
    EXPECT_LE(d.mMean, c.meanLimit) << percent;
    // Every control's place shows the same thing: a control drawn a few pixels off differs by far more. Small
    // bright sprites and texts set at another size differ most; resampled twice (from 2x, then down) at 150 %.
    for (int i = 1; i < r.g->NControls(); ++i) {
      const IRect rect = r.g->GetControl(i)->GetRECT();
      EXPECT_LE(Compare(down, one.Drawn(), rect).mMean, 20.0) << percent << " control " << i;
    }
  }
}

TEST(ScaledEditorRender, TwoHundredPercentCarriesItsOwnDetailInTextsAndKnobs) {
  ScaledRender r(2.0);
  ASSERT_NE(r.g, nullptr);
  // A read-out's text (drawn by FreeType at 28 pixels), a parameter text, a fader handle, the title.
  const IRect areas[] = {r.g->GetControl(2)->GetRECT(), r.g->GetControl(38)->GetRECT(), IRect(206, 301, 218, 313),
                         IRect(10, 6, 130, 26)};
  for (const IRect& area : areas) EXPECT_GT(Detail(r.Drawn(), area, 2), 0.02) << area.L << "," << area.T;
}

TEST(ScaledEditorRender, ScreenPixelsMapToTheUnitsWhoseRectanglesHoldThem) {
  // Every pixel of the window lies in the drawn rectangle of exactly the control the mouse routing finds there.
  ScaledRender r(1.5);
  ASSERT_NE(r.g, nullptr);
  for (int i = 1; i < r.g->NControls(); ++i) {
    const IControl* control = r.g->GetControl(i);
    if (control->IsHit(control->GetRECT().L, control->GetRECT().T) == false) continue;  // lights take no mouse
    const IRect logical = control->GetRECT();
    const IRect physical = r.g->ToPhysical(logical);
    for (int y = physical.T - 1; y <= physical.B; ++y)
      for (int x = physical.L - 1; x <= physical.R; ++x) {
        const bool inside = physical.Contains(x, y);
        EXPECT_EQ(logical.Contains(r.g->ToLogical(x), r.g->ToLogical(y)), inside)
            << "control " << i << " pixel " << x << "," << y;
      }
    const int cx = (physical.L + physical.R) / 2, cy = (physical.T + physical.B) / 2;
    EXPECT_EQ(r.g->HitTest(r.g->ToLogical(cx), r.g->ToLogical(cy)), i) << "control " << i;
  }
  // The mapping itself, over the whole range and the scales offered.
  for (double scale : {1.25, 1.5, 1.75, 2.5, 3.0}) {
    r.g->SetScale(scale);
    for (int v = 0; v < 700; ++v)
      for (int p = r.g->ToPhysical(v); p < r.g->ToPhysical(v + 1); ++p) ASSERT_EQ(r.g->ToLogical(p), v) << scale;
  }
}

TEST(ScaledEditorRender, AScaleChangeRedrawsEverythingOnceThenNothingAndCachesItsArt) {
  ScaledRender r(1.0);
  ASSERT_NE(r.g, nullptr);
  // The first pass moved the read-outs to their values; they are drawn in the second.
  IRect second;
  if (r.g->IsDirty(&second)) r.g->Draw(&second);
  IRect idle;
  EXPECT_FALSE(r.g->IsDirty(&idle));
  long imagePixels = 0;
  for (int id : {100, 101, 102, 103, 104}) {
    const IBitmap b = r.g->LoadBitmap(id, "img/x.png");
    imagePixels += long(b.W) * b.H;
  }
  for (double scale : {1.5, 1.25, 2.0, 1.0}) {
    EXPECT_EQ(r.g->SetScale(scale), scale);
    IRect all;
    ASSERT_TRUE(r.g->IsDirty(&all));
    EXPECT_EQ(all, IRect(0, 0, 410, 680));
    r.g->Draw(&all);
    const long cached = r.g->ScaledArtPixels();
    r.g->SetAllControlsDirty();
    r.g->Draw(&all);
    // Drawing again reuses what the first pass resampled.
    EXPECT_EQ(r.g->ScaledArtPixels(), cached) << scale;
    // Art is resampled only where no image of the size exists, and only the current scale's is kept.
    if (scale == 1.0 || scale == 2.0) {
      EXPECT_EQ(cached, 0) << scale;
    } else {
      EXPECT_LT(cached, long(imagePixels * scale * scale) + 1000) << scale;
    }
    // Read-outs follow their faders a pass or two later; then an idle editor draws nothing.
    int passes = 0;
    for (IRect d; r.g->IsDirty(&d) && passes < 5; d = IRect()) {
      r.g->Draw(&d);
      ++passes;
    }
    EXPECT_LE(passes, 2) << scale;
  }
  // Out of range asks are held to what the editor offers.
  EXPECT_EQ(r.g->SetScale(0.5), 1.0);
  EXPECT_EQ(r.g->SetScale(8.0), 3.0);
  EXPECT_EQ(r.g->SetScale(std::nan("")), 1.0);
}

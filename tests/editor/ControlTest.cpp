// Behaviour of the controls: frames, switch steps, fader geometry, wheel, double-click, texts and their colours.
#include <gtest/gtest.h>

#include <cmath>

#include "EditorTestPlugin.h"
#include "TestHost.h"

namespace {

struct EditorSession {
  TestHost host;
  EditorTestPlugin* plug;
  FakeGraphics* g;
  EditorSession() {
    AEffect* effect = host.Load(EditorTestPlugin::Create);
    plug = static_cast<EditorTestPlugin*>(VstPluginOf(effect));
    g = plug->mFake;
  }
};

const IMouseMods kLeft(true, false);
const IMouseMods kRight(false, true);
const IMouseMods kShift(false, false, true);
const IMouseMods kControl(false, false, false, true);
const IMouseMods kNone;

IBitmap Frames(int n, int w = 11, int frameHeight = 11) { return IBitmap(nullptr, w, frameHeight * n, n); }

}  // namespace

TEST(IBitmapControl, ValueSelectsTheNearestFrameRoundingHalfUp) {
  IBitmapControl led(nullptr, 0, 0, -1, Frames(2));
  EXPECT_EQ(led.GetRECT(), IRect(0, 0, 11, 11));
  EXPECT_EQ(led.Frame(), 1);
  led.SetValueFromPlug(1.0);
  EXPECT_EQ(led.Frame(), 2);
  led.SetValueFromPlug(0.5);
  EXPECT_EQ(led.Frame(), 2);
  led.SetValueFromPlug(0.49);
  EXPECT_EQ(led.Frame(), 1);
}

TEST(IBitmapControl, DrawsItsFrameFromTheRightSourceRows) {
  FakeGraphics g(nullptr);
  IBitmapControl led(nullptr, 5, 7, -1, Frames(2));
  led.SetValueFromPlug(1.0);
  led.Draw(&g);
  ASSERT_EQ(g.mDraws.size(), 1u);
  EXPECT_EQ(g.mDraws[0].mSrcY, 11);  // frame 2 of a 22-pixel, 2-frame bitmap starts at row 11
  EXPECT_EQ(g.mDraws[0].mDest, IRect(5, 7, 16, 18));
}

TEST(ISwitchControl, LeftClicksStepThroughTheFramesAndWrap) {
  for (int frames : {1, 2, 3}) {
    ISwitchControl sw(nullptr, 0, 0, -1, Frames(frames));
    std::vector<double> seen;
    for (int i = 0; i < 4; ++i) {
      sw.OnMouseDown(1, 1, &kLeft);
      seen.push_back(sw.GetValue());
    }
    if (frames == 3) {
      EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
    } else {
      EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0, 0.0})) << frames << " frames";
    }
  }
}

TEST(ISwitchControl, RightClickPromptsAndLeavesTheValue) {
  EditorSession s;
  s.host.ClearCalls();
  s.plug->mSwitch->OnMouseDown(361, 129, &kRight);
  ASSERT_EQ(s.g->mEntries.size(), 1u);
  EXPECT_EQ(s.g->mEntries[0].mControl, s.plug->mSwitch);
  EXPECT_EQ(s.g->mEntries[0].mParam, s.plug->GetParam(kTestBool));
  EXPECT_FALSE(s.g->mEntries[0].mTextMode);
  EXPECT_EQ(s.plug->mSwitch->GetValue(), 0.0);
  // The unchanged value is still pushed.
  EXPECT_EQ(s.host.CallsWith(audioMasterAutomate).size(), 1u);
}

TEST(IFaderControl, ClickPutsTheHandleCentreUnderThePointer) {
  const IBitmap handle(nullptr, 12, 12, 1);
  IFaderControl fader(nullptr, 120, 213, 184, -1, handle, IFaderControl::kHorizontal);
  EXPECT_EQ(fader.GetRECT(), IRect(120, 213, 304, 225));
  const std::pair<int, double> clicks[] = {{126, 0.0}, {298, 1.0}, {212, 0.5}, {100, 0.0}, {400, 1.0}};
  for (const auto& click : clicks) {
    fader.OnMouseDown(click.first, 219, &kLeft);
    EXPECT_DOUBLE_EQ(fader.GetValue(), click.second) << "x " << click.first;
  }
  EXPECT_EQ(fader.GetHandleRect(0.5), IRect(206, 213, 218, 225));
  EXPECT_EQ(fader.GetHandleRect(0.0).L, 120);
  EXPECT_EQ(fader.GetHandleRect(1.0).R, 304);
  // Dragging follows the pointer one to one.
  fader.OnMouseDrag(169, 300, 1, 1, &kNone);
  EXPECT_DOUBLE_EQ(fader.GetValue(), 0.25);
}

TEST(IFaderControl, TrackNoLongerThanItsHandleGivesZeroNotNaN) {
  const IBitmap handle(nullptr, 12, 12, 1);
  IFaderControl fader(nullptr, 0, 0, 12, -1, handle, IFaderControl::kHorizontal);
  fader.OnMouseDown(8, 3, &kLeft);
  EXPECT_EQ(fader.GetValue(), 0.0);
}

TEST(IControl, WheelAddsAHundredthPerNotchOrAThousandthWithShiftOrControlWithinZeroToOne) {
  const IBitmap handle(nullptr, 12, 12, 1);
  IFaderControl fader(nullptr, 120, 213, 184, -1, handle, IFaderControl::kHorizontal);
  fader.SetValueFromPlug(0.5);
  fader.OnMouseWheel(0, 0, &kNone, 3);
  EXPECT_NEAR(fader.GetValue(), 0.53, 1e-12);
  fader.OnMouseWheel(0, 0, &kShift, 3);
  EXPECT_NEAR(fader.GetValue(), 0.533, 1e-12);
  fader.OnMouseWheel(0, 0, &kControl, -3);
  EXPECT_NEAR(fader.GetValue(), 0.53, 1e-12);
  fader.OnMouseWheel(0, 0, &kNone, 100);
  EXPECT_EQ(fader.GetValue(), 1.0);
  fader.OnMouseWheel(0, 0, &kNone, -300);
  EXPECT_EQ(fader.GetValue(), 0.0);
}

TEST(IControl, DoubleClickRestoresTheFirstValueFromThePlugIn) {
  const IBitmap handle(nullptr, 12, 12, 1);
  IFaderControl fader(nullptr, 120, 213, 184, -1, handle, IFaderControl::kHorizontal);
  fader.OnMouseDblClick(0, 0, &kLeft);  // nothing recorded yet: nothing happens
  EXPECT_EQ(fader.GetValue(), 0.0);
  fader.SetValueFromPlug(0.5);  // the value at attachment
  fader.SetValueFromPlug(0.8);  // a later host value
  fader.OnMouseDown(126, 219, &kLeft);
  fader.OnMouseDblClick(126, 219, &kLeft);
  EXPECT_EQ(fader.GetValue(), 0.5);
}

TEST(IControl, AValueEqualToTheCurrentOneCostsNoRedraw) {
  ProbeControl control(nullptr, IRect(0, 0, 10, 10));
  control.SetValueFromPlug(0.3);
  control.SetClean();
  control.SetClean();
  ASSERT_FALSE(control.IsDirty());
  control.SetValueFromPlug(0.3);
  EXPECT_FALSE(control.IsDirty());
  control.SetValueFromPlug(0.4);
  EXPECT_TRUE(control.IsDirty());
  // The pending redraw keeps it dirty for one more pass.
  control.SetClean();
  EXPECT_TRUE(control.IsDirty());
  control.SetClean();
  EXPECT_FALSE(control.IsDirty());
}

TEST(ITextControl, GreyColourIsEachComponentLess128AndBlackStaysBlack) {
  const ITextStyle coloured("Arial", 14, IColor(255, 200, 100, 50), 0, 0, 0);
  ITextControl text(nullptr, IRect(0, 0, 50, 16), coloured, "x");
  EXPECT_EQ(text.GrayColor(), IColor(255, 72, 0, 0));
  text.GrayOut(true);
  EXPECT_EQ(text.GetTextStyle().mColor, IColor(255, 72, 0, 0));
  EXPECT_FLOAT_EQ(text.GetBlend().mWeight, 0.25f);
  text.GrayOut(false);
  EXPECT_EQ(text.GetTextStyle().mColor, IColor(255, 200, 100, 50));

  ITextControl black(nullptr, IRect(0, 0, 50, 16), TestTextStyle(), "x");
  black.GrayOut(true);
  EXPECT_EQ(black.GetTextStyle().mColor, IColor(255, 0, 0, 0));
}

TEST(ITextControl, SameTextDoesNotDirtyAndEmptyTextDrawsNothing) {
  FakeGraphics g(nullptr);
  ITextControl text(nullptr, IRect(0, 0, 50, 16), TestTextStyle(), "");
  EXPECT_TRUE(text.Draw(&g));
  EXPECT_TRUE(g.mDraws.empty());
  text.SetTextFromPlug("abc");
  text.SetClean();
  text.SetTextFromPlug("abc");
  EXPECT_FALSE(text.IsDirty());
  text.SetTextFromPlug("abd");
  EXPECT_TRUE(text.IsDirty());
  text.Draw(&g);
  EXPECT_EQ(g.Texts(), (std::vector<std::string>{"abd"}));
}

TEST(IParamTextControl, WheelStepsOneValuePerNotchAndWrapsBothWays) {
  IParameter scale;
  scale.DefineEnum("Scale", 0, 5);
  const char* names[] = {"Major", "Minor", "Penta", "Whole", "Chrom"};
  for (int i = 0; i < 5; ++i) scale.AddDisplayText(i, names[i]);
  FakeGraphics g(nullptr);
  IParamTextControl text(nullptr, IRect(114, 125, 174, 141), -1, TestTextStyle(), &scale);
  std::vector<std::string> shown;
  for (int i = 0; i < 6; ++i) {
    text.Draw(&g);
    shown.push_back(text.GetText());
    text.OnMouseWheel(0, 0, &kShift, 1);  // modifiers do not change a step of an enumerated parameter
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"Major", "Minor", "Penta", "Whole", "Chrom", "Major"}));
  text.OnMouseWheel(0, 0, &kNone, -1);
  text.OnMouseWheel(0, 0, &kNone, -1);
  text.Draw(&g);
  EXPECT_STREQ(text.GetText(), "Chrom");
}

TEST(IParamTextControl, SixteenChannelsStepWithoutWrappingEarly) {
  IParameter channel;
  channel.DefineInt("Chan", 1, 1, 16, "");
  FakeGraphics g(nullptr);
  IParamTextControl text(nullptr, IRect(114, 125, 174, 141), -1, TestTextStyle(), &channel);
  for (int i = 1; i < 16; ++i) text.OnMouseWheel(0, 0, &kNone, 1);
  text.Draw(&g);
  EXPECT_STREQ(text.GetText(), "16");
  text.OnMouseWheel(0, 0, &kNone, 1);
  text.Draw(&g);
  EXPECT_STREQ(text.GetText(), "1");
}

TEST(IParamTextControl, DraggingThirtyTwoPixelsUpAddsAQuarterAndWraps) {
  IParamTextControl text(nullptr, IRect(114, 125, 174, 141), -1, TestTextStyle(), nullptr, true, false, 0, 8.0);
  text.OnMouseDrag(120, 100, 0, -32, &kNone);
  EXPECT_DOUBLE_EQ(text.GetValue(), 0.25);
  text.OnMouseDrag(120, 68, 0, -64, &kNone);
  EXPECT_DOUBLE_EQ(text.GetValue(), 0.75);
  text.OnMouseDrag(120, 36, 0, -32, &kNone);
  EXPECT_DOUBLE_EQ(text.GetValue(), 1.0);
  text.OnMouseDrag(120, 4, 0, -32, &kNone);
  EXPECT_DOUBLE_EQ(text.GetValue(), 0.0);  // above 1 wraps to 0
  text.OnMouseDrag(120, 36, 0, 32, &kNone);
  EXPECT_DOUBLE_EQ(text.GetValue(), 1.0);  // below 0 wraps to 1
  // Without a parameter the wheel moves a hundredth and the text stays as it is.
  text.OnMouseWheel(0, 0, &kNone, -1);
  EXPECT_NEAR(text.GetValue(), 0.99, 1e-12);
}

TEST(IParamTextControl, ShowsTheParameterValueNotTheControlValue) {
  EditorSession s;
  s.host.SetParameter(kTestEnum, 2.0f / 3.0f);
  s.plug->mText->Draw(s.g);
  EXPECT_STREQ(s.plug->mText->GetText(), "Blue");
  // A left click does nothing; a right click asks for the entry.
  s.plug->mText->OnMouseDown(120, 130, &kLeft);
  EXPECT_TRUE(s.g->mEntries.empty());
  s.plug->mText->OnMouseDown(120, 130, &kRight);
  ASSERT_EQ(s.g->mEntries.size(), 1u);
  EXPECT_EQ(s.g->mEntries[0].mParam, s.plug->GetParam(kTestEnum));
}

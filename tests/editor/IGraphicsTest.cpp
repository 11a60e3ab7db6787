// The graphics host: control list order, hit testing and capture, mouse routing, dirty scan, drawing and
// parameter synchronisation, on a host that records instead of drawing.
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"
#include "TestHost.h"

namespace {

const IMouseMods kLeft(true, false);
const IMouseMods kRight(false, true);

struct Session {
  TestHost host;
  EditorTestPlugin* plug;
  FakeGraphics* g;
  Session() {
    AEffect* effect = host.Load(EditorTestPlugin::Create);
    plug = static_cast<EditorTestPlugin*>(VstPluginOf(effect));
    g = plug->mFake;
    host.ClearCalls();
  }
  std::vector<VstInt32> EditCalls() const {
    std::vector<VstInt32> calls;
    for (const HostCall& call : host.mCalls)
      if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
          call.opcode == audioMasterAutomate)
        calls.push_back(call.opcode);
    return calls;
  }
};

// Three overlapping probes over a background, for routing tests without a plug-in.
struct Probes {
  FakeGraphics g{nullptr};
  ProbeControl* a = new ProbeControl(nullptr, IRect(10, 10, 50, 50));
  ProbeControl* b = new ProbeControl(nullptr, IRect(30, 30, 70, 70));
  Probes() {
    g.AttachControl(a);
    g.AttachControl(b);
    g.AttachBackground(100, "img/bg.png");
  }
};

}  // namespace

TEST(IGraphics, BackgroundAttachedLastStillGoesToIndexZero) {
  Probes p;
  ASSERT_EQ(p.g.NControls(), 3);
  EXPECT_EQ(p.g.GetControl(1), p.a);
  EXPECT_EQ(p.g.GetControl(2), p.b);
  EXPECT_EQ(p.g.GetControl(0)->GetRECT(), IRect(0, 0, 410, 680));
  EXPECT_EQ(p.g.GetControl(0)->ParamIdx(), -1);
  EXPECT_EQ(p.g.GetControl(0)->GetBlend().mMethod, IBlend::BlendCopy);
}

TEST(IGraphics, HitTestFindsTheTopmostVisibleEnabledControl) {
  Probes p;
  EXPECT_EQ(p.g.HitTest(40, 40), 2);  // b lies over a
  EXPECT_EQ(p.g.HitTest(15, 15), 1);
  EXPECT_EQ(p.g.HitTest(300, 300), 0);  // only the background
  EXPECT_EQ(p.g.HitTest(500, 10), -1);
  p.b->Hide(true);
  EXPECT_EQ(p.g.HitTest(40, 40), 1);
  p.b->Hide(false);
  p.b->GrayOut(true);
  EXPECT_EQ(p.g.HitTest(40, 40), 1);
}

TEST(IGraphics, HiddenControlsAreNotDrawnButGreyedOnesAre) {
  Probes p;
  p.a->Hide(true);
  p.b->GrayOut(true);
  const IRect all(0, 0, 410, 680);
  p.g.Draw(&all);
  EXPECT_EQ(p.a->mDraws, 0);
  EXPECT_EQ(p.b->mDraws, 1);
}

TEST(IGraphics, CapturedControlGetsDragsAndReleaseWherever) {
  Probes p;
  p.g.OnMouseDown(15, 15, &kLeft);
  EXPECT_EQ(p.g.CaptureIndex(), 1);
  EXPECT_EQ(p.g.HitTest(300, 300), 1);
  p.g.OnMouseDrag(300, 300, &kLeft);
  p.g.OnMouseDrag(300, 300, &kLeft);  // same place: not passed on
  p.g.OnMouseDrag(301, 299, &kLeft);
  p.g.OnMouseUp(600, 600, &kLeft);
  EXPECT_EQ(p.a->mCalls, (std::vector<std::string>{"down 15,15", "drag 300,300 d285,285", "drag 301,299 d1,-1",
                                                   "up 600,600"}));
  EXPECT_TRUE(p.b->mCalls.empty());
  EXPECT_EQ(p.g.CaptureIndex(), -1);
  // No drag without capture.
  p.g.OnMouseDrag(20, 20, &kLeft);
  EXPECT_EQ(p.a->mCalls.size(), 4u);
}

TEST(IGraphics, EventsOnNoControlAreIgnored) {
  Probes p;
  p.g.OnMouseDown(500, 500, &kLeft);
  EXPECT_EQ(p.g.CaptureIndex(), -1);
  p.g.OnMouseWheel(500, 500, &kLeft, 1);
  p.g.OnMouseWheel(40, 40, &kLeft, -2);
  EXPECT_EQ(p.b->mCalls, (std::vector<std::string>{"wheel -2"}));
}

TEST(IGraphics, MouseOverIsIgnoredUnlessHandled) {
  Probes p;
  EXPECT_FALSE(p.g.OnMouseOver(15, 15, nullptr));
  EXPECT_TRUE(p.a->mCalls.empty());
  p.g.HandleMouseOver(true);
  EXPECT_TRUE(p.g.OnMouseOver(15, 15, nullptr));
  EXPECT_TRUE(p.g.OnMouseOver(40, 40, nullptr));
  EXPECT_EQ(p.a->mCalls, (std::vector<std::string>{"over", "out"}));
  EXPECT_EQ(p.b->mCalls, (std::vector<std::string>{"over"}));
}

TEST(IGraphics, DoubleClickGoesToTheControlOrActsAsAPress) {
  Probes p;
  EXPECT_FALSE(p.g.OnMouseDblClick(15, 15, &kLeft));
  EXPECT_EQ(p.a->mCalls, (std::vector<std::string>{"dbl"}));
  EXPECT_EQ(p.g.CaptureIndex(), -1);
  p.a->SetDoubleClickAsDown(true);
  EXPECT_TRUE(p.g.OnMouseDblClick(15, 15, &kLeft));
  EXPECT_EQ(p.a->mCalls.back(), "down 15,15");
  EXPECT_EQ(p.g.CaptureIndex(), 1);
  EXPECT_FALSE(p.g.OnMouseDblClick(500, 500, &kLeft));
}

TEST(IGraphics, DirtyControlsFarApartRepaintOneUnionAndThenNothing) {
  Probes p;
  const IRect all(0, 0, 410, 680);
  p.g.Draw(&all);
  auto* far = new ProbeControl(nullptr, IRect(300, 600, 320, 620));
  p.g.AttachControl(far);
  p.g.Draw(&all);
  p.g.mPaints.clear();
  p.a->SetDirty(false);
  far->SetDirty(false);
  IRect drawn;
  ASSERT_TRUE(p.g.Tick(&drawn));
  EXPECT_EQ(drawn, IRect(10, 10, 320, 620));
  EXPECT_EQ(p.g.mPaints, (std::vector<IRect>{IRect(10, 10, 320, 620)}));
  // Everything meeting the union is drawn again, the background first.
  EXPECT_FALSE(p.g.Tick());
}

TEST(IGraphics, DrawIsClippedToControlsMeetingTheRectangle) {
  Probes p;
  const IRect corner(60, 60, 80, 80);
  p.g.Draw(&corner);
  EXPECT_EQ(p.a->mDraws, 0);
  EXPECT_EQ(p.b->mDraws, 1);
  // Every control is cleaned, drawn or not.
  EXPECT_FALSE(p.a->IsDirty());
}

TEST(IGraphics, OneHostValueReachesEveryControlOnTheParameter) {
  Session s;
  auto* twin = new ProbeControl(s.plug, IRect(0, 0, 5, 5), kTestInt);
  s.g->AttachControl(twin);
  s.host.SetParameter(kTestInt, 0.75f);
  s.g->FollowParameters();
  EXPECT_DOUBLE_EQ(s.plug->mFader->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(twin->GetValue(), 0.75);
  // Plain values are normalised with the parameter's range; unknown parameters are ignored.
  s.g->SetParameterFromPlug(kTestInt, 15.0, false);
  EXPECT_DOUBLE_EQ(twin->GetValue(), 0.75);
  s.g->SetParameterFromPlug(kTestInt, -15.0, false);
  EXPECT_DOUBLE_EQ(twin->GetValue(), 0.25);
  s.g->SetParameterFromPlug(999, 1.0, false);
  // Values from the plug-in never go back to it.
  EXPECT_TRUE(s.host.CallsWith(audioMasterAutomate).empty());
  s.g->SetControlFromPlug(kTestInt, 0.5);
  EXPECT_EQ(s.host.CallsWith(audioMasterAutomate).size(), 2u);
}

TEST(IGraphics, HostGesturesArePairedAroundAPress) {
  Session s;
  s.g->OnMouseDown(298, 219, &kLeft);
  s.g->OnMouseDrag(212, 219, &kLeft);
  s.g->OnMouseUp(212, 219, &kLeft);
  EXPECT_EQ(s.EditCalls(), (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterAutomate,
                                                  audioMasterEndEdit}));
  EXPECT_EQ(s.host.CallsWith(audioMasterBeginEdit)[0].index, kTestInt);
  EXPECT_EQ(s.host.CallsWith(audioMasterEndEdit)[0].index, kTestInt);
}

TEST(IGraphics, ReleaseWithoutABegunGestureSendsNoEndEdit) {
  Session s;
  // A double-click resets the fader; the release that follows it was never a gesture of its own.
  s.g->OnMouseDblClick(212, 219, &kLeft);
  s.g->OnMouseUp(212, 219, &kLeft);
  // A press outside every control, released over the fader.
  s.g->OnMouseDown(500, 700, &kLeft);
  s.g->OnMouseUp(212, 219, &kLeft);
  EXPECT_TRUE(s.host.CallsWith(audioMasterEndEdit).empty());
  EXPECT_TRUE(s.host.CallsWith(audioMasterBeginEdit).empty());
}

TEST(IGraphics, SecondPressOrLostReleaseEndsTheOpenGesture) {
  Session s;
  s.g->OnMouseDown(212, 219, &kLeft);
  s.g->OnMouseDown(361, 129, &kLeft);  // another press before the release
  s.g->CancelMouseCapture();           // the window lost the release
  s.g->OnMouseUp(361, 129, &kLeft);
  const auto begins = s.host.CallsWith(audioMasterBeginEdit);
  const auto ends = s.host.CallsWith(audioMasterEndEdit);
  ASSERT_EQ(begins.size(), 2u);
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_EQ(ends[0].index, kTestInt);
  EXPECT_EQ(ends[1].index, kTestBool);
}

TEST(IGraphics, RightClickAsksTheHostForATypedEntry) {
  Session s;
  s.g->OnMouseDown(212, 219, &kRight);
  ASSERT_EQ(s.g->mEntries.size(), 1u);
  EXPECT_EQ(s.g->mEntries[0].mControl, s.plug->mFader);
  EXPECT_EQ(s.g->mEntries[0].mParam, s.plug->GetParam(kTestInt));
  EXPECT_FALSE(s.g->mEntries[0].mTextMode);
  // Not for a control without a parameter, nor one whose prompt is disabled.
  s.g->OnMouseDown(5, 5, &kRight);
  s.plug->mText->DisablePrompt(true);
  s.g->OnMouseDown(120, 130, &kRight);
  EXPECT_EQ(s.g->mEntries.size(), 1u);
}

TEST(IGraphics, CommittedEntryTextSetsTheParameter) {
  Session s;
  s.g->SetEdited(s.plug->mText, s.plug->GetParam(kTestEnum));
  s.g->CommitTextEntry("Green");
  EXPECT_EQ(s.plug->GetParam(kTestEnum)->Value(), 1.0);
  s.g->CommitTextEntry("Purple");  // no such text: the plain value 0
  EXPECT_EQ(s.plug->GetParam(kTestEnum)->Value(), 0.0);
  s.g->SetEdited(s.plug->mFader, s.plug->GetParam(kTestInt));
  s.g->CommitTextEntry("12.4 semitones");
  EXPECT_EQ(s.plug->GetParam(kTestInt)->Value(), 12.0);
  s.g->CommitTextEntry("loud");
  EXPECT_EQ(s.plug->GetParam(kTestInt)->Value(), 0.0);
  EXPECT_DOUBLE_EQ(s.plug->mFader->GetValue(), 0.5);
}

TEST(IGraphics, WindowNamesComeFromThePlugInAndAreCutToFit) {
  const std::string longClass(100, 'c');
  const std::string longTitle(200, 't');
  struct Case {
    IWindowNames names;
    std::string className;
    std::string title;
  } cases[] = {
      {{"PlugWndClass", "Plug"}, "PlugWndClass", "Plug"},
      {{nullptr, nullptr}, IGraphics::kDefaultWindowClass, ""},
      {{"", "Only a title"}, IGraphics::kDefaultWindowClass, "Only a title"},
      {{longClass.c_str(), longTitle.c_str()}, longClass.substr(0, 63), longTitle.substr(0, 127)},
  };
  for (const Case& c : cases) {
    FakeGraphics g(nullptr);
    g.SetWindowNames(c.names);
    EXPECT_EQ(g.WindowClassName(), c.className) << c.title;
    EXPECT_EQ(g.WindowTitle(), c.title);
  }
}

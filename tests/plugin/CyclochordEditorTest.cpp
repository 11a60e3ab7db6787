// Cyclochord's editor through its AEffect: the host's view of it, its 50 controls, and values flowing between
// the editor, the host and the engine.
#include <gtest/gtest.h>

#include <algorithm>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "IFaderControl.h"
#include "IGraphics.h"
#include "ITextControl.h"
#include "TestHost.h"

namespace {

const IMouseMods kLeft(true, false);

struct CyclochordEditorSession {
  TestHost host;
  IPluginBase* plug = nullptr;
  IGraphics* g = nullptr;
  CyclochordEditorSession() {
    AEffect* effect = host.Load(CreatePluginInstance);
    plug = VstPluginOf(effect);
    g = dynamic_cast<IGraphics*>(plug->GetGraphics());
    host.ClearCalls();
  }
  void Click(int x, int y) {
    g->OnMouseDown(x, y, &kLeft);
    g->OnMouseUp(x, y, &kLeft);
  }
};

}  // namespace

TEST(CyclochordEditor, CyclochordAnnouncesItsEditorToTheHost) {
  CyclochordEditorSession s;
  ASSERT_NE(s.g, nullptr);
  EXPECT_EQ(s.host.Effect()->flags, 0x1139);
  ERect* rect = nullptr;
  EXPECT_EQ(s.host.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 410);
  EXPECT_EQ(rect->bottom - rect->top, 680);
  // No window system yet: the open request answers 0 and the editor stays usable.
  EXPECT_EQ(s.host.Dispatch(effEditOpen, 0, 0, nullptr), 0);
}

TEST(CyclochordEditor, CyclochordLayoutBindsControlsInOrder) {
  CyclochordEditorSession s;
  ASSERT_EQ(s.g->NControls(), 63);
  EXPECT_EQ(s.g->GetControl(0)->GetRECT(), IRect(0, 0, 410, 680));
  const int faderParams[] = {7, 8, 13, 14, 15, 16, 17, 27, 28, 29, 30, 31};
  for (int i = 0; i < 12; ++i) {
    IControl* fader = s.g->GetControl(1 + 2 * i);
    ASSERT_NE(dynamic_cast<IFaderControl*>(fader), nullptr);
    EXPECT_EQ(fader->ParamIdx(), faderParams[i]);
    const IRect& r = fader->GetRECT();
    EXPECT_EQ(r.W(), 184);
    EXPECT_EQ(s.g->GetControl(2 + 2 * i)->GetRECT(), IRect(r.L + 188, r.T, r.L + 218, r.T + 16));
  }
  EXPECT_EQ(s.g->GetControl(5 + 4)->GetRECT(), IRect(120, 326, 304, 338));  // interval 2 of rotator 1
  const int switchParams[] = {1, 5, 11, 18, 19, 20, 21, 25, 32, 33, 34, 35, 38};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(s.g->GetControl(25 + i)->ParamIdx(), switchParams[i]);
  EXPECT_EQ(s.g->GetControl(37)->GetRECT(), IRect(111, 39, 123, 51));
  const int textParams[] = {2, 3, 6, 9, 12, 22, 23, 26, 36, 37, 40, 39};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(s.g->GetControl(38 + i)->ParamIdx(), textParams[i]);
  EXPECT_EQ(s.g->GetControl(49)->GetRECT(), IRect(250, 63, 310, 79));
  // Apart from the background no two controls overlap, so a hit never has to choose.
  for (int i = 1; i < 50; ++i)
    for (int j = i + 1; j < 50; ++j) {
      const IRect overlap = s.g->GetControl(i)->GetRECT().Intersect(&s.g->GetControl(j)->GetRECT());
      EXPECT_TRUE(overlap.W() <= 0 || overlap.H() <= 0) << i << " and " << j;
    }
}

TEST(CyclochordEditor, FaderClickInCyclochordReachesTheEngine) {
  CyclochordEditorSession s;
  s.host.SetParameter(kV1Mute, 1.0f);
  s.host.SetParameter(kV2Mute, 1.0f);
  s.host.ClearCalls();
  s.Click(298, 195);  // the parallel interval's fader, at its right end
  EXPECT_EQ(s.plug->GetParam(kParInt)->Value(), 24.0);
  EXPECT_EQ(s.host.CallsWith(audioMasterBeginEdit).size(), 1u);
  EXPECT_EQ(s.host.CallsWith(audioMasterAutomate).size(), 1u);
  EXPECT_EQ(s.host.CallsWith(audioMasterEndEdit).size(), 1u);
  s.host.SetTransport(0, 120, true);
  s.host.Process(512);  // the transport is seen running before the note arrives
  s.host.SendMidi(0x90, 60, 100, 0);
  s.host.Process(512);
  std::vector<int> notes;
  for (const MidiEvent& e : s.host.TakeMidi())
    if (e.IsNoteOn()) notes.push_back(e.data1);
  std::sort(notes.begin(), notes.end());
  EXPECT_EQ(notes, (std::vector<int>{60, 84}));
  // A click beside a fader, on the background or the algorithm arrows, changes nothing.
  s.host.ClearCalls();
  s.Click(60, 195);
  s.Click(227, 400);
  EXPECT_TRUE(s.host.CallsWith(audioMasterAutomate).empty());
}

TEST(CyclochordEditor, HostSetParameterMovesCyclochordsFaderAndReadOutAtTheNextTick) {
  CyclochordEditorSession s;
  IRect r;
  s.g->IsDirty(&r);
  s.host.SetParameter(kParVel, 0.1f);  // -30 + 6
  // The editor takes the value at its next tick, on its own thread.
  r = IRect();
  ASSERT_TRUE(s.g->IsDirty(&r));
  EXPECT_FLOAT_EQ(static_cast<float>(s.g->GetControl(1)->GetValue()), 0.1f);
  EXPECT_STREQ(static_cast<ITextControl*>(s.g->GetControl(2))->GetText(), "-24");
}

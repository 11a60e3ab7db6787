// Read-outs: what they show, when they update, and that they follow their fader's hidden and greyed state.
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"
#include "TestHost.h"

namespace {

struct Session {
  TestHost host;
  EditorTestPlugin* plug;
  FakeGraphics* g;
  ITextControl* readOut;
  Session() {
    AEffect* effect = host.Load(EditorTestPlugin::Create);
    plug = static_cast<EditorTestPlugin*>(VstPluginOf(effect));
    g = plug->mFake;
    readOut = plug->mReadOut->TextControl();
  }
  void SetInt(double value) {
    host.SetParameter(kTestInt, static_cast<float>(plug->GetParam(kTestInt)->NormalizeValue(value)));
  }
};

class CountingObserver : public IObserverInterface {
 public:
  int mUpdates = 0;
  void Update() override { ++mUpdates; }
};

}  // namespace

TEST(ValueReadOut, SitsRightAfterItsFaderAndIsEmptyUntilTheFirstScan) {
  Session s;
  EXPECT_EQ(s.g->GetControl(kReadOutIdx), s.readOut);
  EXPECT_STREQ(s.readOut->GetText(), "");
  IRect r;
  s.g->IsDirty(&r);
  EXPECT_STREQ(s.readOut->GetText(), "0");
}

TEST(ValueReadOut, IntegerReadOutShowsTheParameterValueTruncated) {
  Session s;
  IRect r;
  s.SetInt(-24);
  s.g->IsDirty(&r);
  EXPECT_STREQ(s.readOut->GetText(), "-24");
  s.SetInt(0);
  s.g->IsDirty(&r);
  EXPECT_STREQ(s.readOut->GetText(), "0");
  // A fader between two steps shows the step the parameter took, not the fader's own position.
  s.plug->mFader->OnMouseDown(126 + 69, 219, nullptr);  // 69 / 172 of the way: -5.93 rounds to -6
  s.g->IsDirty(&r);
  EXPECT_STREQ(s.readOut->GetText(), "-6");
}

TEST(ValueReadOut, TwoDecimalReadOutShowsZeroPointFifty) {
  Session s;
  const IBitmap handle(nullptr, 12, 12, 1);
  auto* fader = new IFaderControl(s.plug, 120, 400, 184, kTestDouble, handle, IFaderControl::kHorizontal);
  s.g->AttachControl(fader);
  auto* readOut = new ValueReadOut(fader, s.plug, s.g, IRect(308, 400, 338, 416), TestTextStyle());
  s.g->AdoptObserver(readOut);
  s.host.SetParameter(kTestDouble, 0.5f);
  IRect r;
  s.g->IsDirty(&r);
  EXPECT_STREQ(readOut->TextControl()->GetText(), "0.50");
}

TEST(ValueReadOut, NewNumberIsDrawnInTheSamePassAsTheHandle) {
  Session s;
  s.g->Tick();
  s.g->Tick();  // pending redraws from attachment
  s.g->mDraws.clear();
  s.SetInt(12);
  IRect drawn;
  ASSERT_TRUE(s.g->Tick(&drawn));
  EXPECT_EQ(drawn, s.plug->mFader->GetRECT().Union(&s.readOut->GetRECT()));
  EXPECT_EQ(s.g->Texts(), (std::vector<std::string>{"12"}));
}

TEST(ValueReadOut, FollowsTheFadersHiddenAndGreyedState) {
  Session s;
  IRect r;
  s.g->IsDirty(&r);
  s.plug->mFader->Hide(true);
  s.plug->mFader->GrayOut(true);
  EXPECT_FALSE(s.readOut->IsHidden());
  s.g->IsDirty(&r);
  EXPECT_TRUE(s.readOut->IsHidden());
  EXPECT_TRUE(s.readOut->IsGrayed());
  EXPECT_EQ(s.readOut->GetTextStyle().mColor, IColor(255, 0, 0, 0));
  s.plug->mFader->Hide(false);
  s.g->IsDirty(&r);
  EXPECT_FALSE(s.readOut->IsHidden());
}

TEST(ValueReadOut, SeveralChangesBetweenScansGiveOneUpdate) {
  Session s;
  CountingObserver counter;
  s.plug->mFader->AddObserver(&counter);
  s.plug->mFader->AddObserver(&counter);  // registered once only
  IRect r;
  s.g->IsDirty(&r);
  counter.mUpdates = 0;
  s.SetInt(3);
  s.SetInt(4);
  s.plug->mFader->OnMouseDown(200, 219, nullptr);
  s.g->IsDirty(&r);
  EXPECT_EQ(counter.mUpdates, 1);
  s.g->IsDirty(&r);
  EXPECT_EQ(counter.mUpdates, 1);
}

TEST(ValueReadOut, SubjectWithoutParameterShowsNothingInsteadOfCrashing) {
  FakeGraphics g(nullptr);
  ProbeControl subject(nullptr, IRect(0, 0, 10, 10));
  ValueReadOutInt readOut(&subject, nullptr, &g, IRect(20, 0, 50, 16), TestTextStyle());
  subject.SetDirty(false);
  subject.NotifyObservers();
  EXPECT_STREQ(readOut.TextControl()->GetText(), "");
}

// The value flow through a real AEffect: editor gestures reach the host and the plug-in, host values reach
// the controls and their read-outs.
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"
#include "IFaderControl.h"
#include "ITextControl.h"
#include "TestHost.h"

namespace {

const IMouseMods kLeft(true, false);

}  // namespace

TEST(ValueFlow, ClickOnAFaderSetsTheParameterTellsTheHostAndRunsTheHandler) {
  TestHost host;
  AEffect* effect = host.Load(EditorTestPlugin::Create);
  auto* plug = static_cast<EditorTestPlugin*>(VstPluginOf(effect));
  host.ClearCalls();
  plug->mLog.clear();
  plug->mFake->OnMouseDown(298, 219, &kLeft);
  plug->mFake->OnMouseUp(298, 219, &kLeft);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 30.0);
  EXPECT_FLOAT_EQ(host.GetParameter(kTestInt), 1.0f);
  ASSERT_EQ(host.CallsWith(audioMasterBeginEdit).size(), 1u);
  ASSERT_EQ(host.CallsWith(audioMasterAutomate).size(), 1u);
  ASSERT_EQ(host.CallsWith(audioMasterEndEdit).size(), 1u);
  EXPECT_EQ(host.CallsWith(audioMasterAutomate)[0].index, kTestInt);
  EXPECT_FLOAT_EQ(host.CallsWith(audioMasterAutomate)[0].opt, 1.0f);
  EXPECT_EQ(plug->mLog, (std::vector<std::string>{"OnParameterChange(2)"}));
}

// The host's thread never touches the editor: the editor takes the value at its next tick.
TEST(ValueFlow, HostValueMovesTheControlAndItsReadOutAtTheNextTick) {
  TestHost host;
  AEffect* effect = host.Load(EditorTestPlugin::Create);
  auto* plug = static_cast<EditorTestPlugin*>(VstPluginOf(effect));
  plug->mFake->Tick();
  const double before = plug->mFader->GetValue();
  host.SetParameter(kTestInt, 0.1f);
  EXPECT_EQ(plug->mFader->GetValue(), before);
  IRect drawn;
  ASSERT_TRUE(plug->mFake->Tick(&drawn));
  EXPECT_FLOAT_EQ(static_cast<float>(plug->mFader->GetValue()), 0.1f);
  EXPECT_STREQ(plug->mReadOut->TextControl()->GetText(), "-24");
  EXPECT_TRUE(drawn.Intersects(&plug->mReadOut->TextControl()->GetRECT()));
}


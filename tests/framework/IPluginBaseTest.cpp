#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "TestHost.h"
#include "TestPlugin.h"

namespace {
TestPlugin* PluginOf(AEffect* effect) { return static_cast<TestPlugin*>(VstPluginOf(effect)); }
}  // namespace

TEST(IPluginBase, ChannelConfigurationsAndVersion) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  EXPECT_TRUE(plug->LegalIO(1, -1));
  EXPECT_TRUE(plug->LegalIO(2, 2));
  EXPECT_FALSE(plug->LegalIO(1, 2));
  EXPECT_TRUE(plug->LegalIO(-1, -1));
  EXPECT_EQ(plug->NInChannels(), 2);
  EXPECT_EQ(plug->NOutChannels(), 2);
  EXPECT_EQ(plug->GetEffectVersion(true), 10203);
  EXPECT_EQ(plug->GetEffectVersion(false), 0x10203);
}

TEST(IPluginBase, FreshPresetSlotsAreNamedAndUninitialised) {
  TestHost host;
  TestPlugin* plug = PluginOf(host.Load(TestPlugin::Create));
  ASSERT_EQ(plug->NPresets(), 3);
  EXPECT_STREQ(plug->GetPresetName(0), "- 1 -");
  EXPECT_STREQ(plug->GetPresetName(2), "- 3 -");
  EXPECT_STREQ(plug->GetPresetName(3), "");
  EXPECT_EQ(plug->GetCurrentPreset(), 0);
}

TEST(IPluginBase, PassesAudioThroughAndDisconnectedInputsReadZeros) {
  TestHost host;
  host.Load(TestPlugin::Create);
  TestPlugin* plug = PluginOf(host.Effect());
  host.mIn[0].assign(64, 0.25f);
  host.mIn[1].assign(64, -0.5f);
  host.Process(64);
  EXPECT_EQ(host.mOut[0][63], 0.25f);
  EXPECT_EQ(host.mOut[1][0], -0.5f);

  plug->SetInputsConnected(1, 1, false);
  host.mIn[0].assign(64, 0.75f);
  host.Process(64);
  ASSERT_EQ(plug->mFirstInputSamples.size(), 2u);
  EXPECT_EQ(plug->mFirstInputSamples[0], 0.75);
  EXPECT_EQ(plug->mFirstInputSamples[1], 0.0);
  EXPECT_EQ(host.mOut[1][10], 0.0f);
}

TEST(IPluginBase, DoublePrecisionPassesThroughToo) {
  TestHost host;
  host.Load(TestPlugin::Create);
  host.mInDouble[0].assign(32, 0.125);
  host.mInDouble[1].assign(32, 0.5);
  host.ProcessDouble(32);
  EXPECT_EQ(host.mOutDouble[0][31], 0.125);
  EXPECT_EQ(host.mOutDouble[1][0], 0.5);
}

TEST(IPluginBase, AccumulatingProcessAddsIntoTheHostBuffer) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::Create);
  std::vector<float> in0(16, 0.25f), in1(16, 0.25f), out0(16, 1.0f), out1(16, 0.0f);
  float* in[2] = {in0.data(), in1.data()};
  float* out[2] = {out0.data(), out1.data()};
  effect->process(effect, in, out, 16);
  EXPECT_EQ(out0[5], 1.25f);
  EXPECT_EQ(out1[5], 0.25f);
}

TEST(IPluginBase, BlocksLongerThanAnnouncedAreProcessedWhole) {
  TestHost host;
  host.Load(TestPlugin::Create);
  host.Dispatch(effSetBlockSize, 0, 64);
  host.mIn[0].assign(5000, 0.5f);
  host.mIn[1].assign(5000, 0.25f);
  host.Process(5000);
  EXPECT_EQ(host.mOut[0][4999], 0.5f);
  EXPECT_EQ(host.mOut[1][4999], 0.25f);
  EXPECT_EQ(PluginOf(host.Effect())->mLastBlockFrames, 5000);
}

TEST(IPluginBase, NullBuffersAndNonsenseFrameCountsAreSafe) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::Create);
  effect->processReplacing(effect, nullptr, nullptr, 128);
  effect->processDoubleReplacing(effect, nullptr, nullptr, 128);
  float* nulls[2] = {nullptr, nullptr};
  effect->processReplacing(effect, nulls, nulls, 128);
  effect->processReplacing(effect, nulls, nulls, -5);
  EXPECT_EQ(PluginOf(effect)->mLastBlockFrames, 0);
}

TEST(IPluginBase, BlockSizeRequestsMustBePositive) {
  TestHost host;
  host.Load(TestPlugin::Create);
  TestPlugin* plug = PluginOf(host.Effect());
  plug->SetInputsConnected(0, 1, false);
  host.Dispatch(effSetBlockSize, 0, 1024);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  host.Dispatch(effSetBlockSize, 0, -4);
  EXPECT_EQ(plug->GetBlockSize(), 1024) << "a negative size is refused";
}

TEST(IPluginBase, SetParameterFromGuiNotifiesHostAndRunsHandler) {
  TestHost host;
  host.Load(TestPlugin::Create);
  TestPlugin* plug = PluginOf(host.Effect());
  plug->mLog.clear();
  host.ClearCalls();
  plug->SetParameterFromGUI(kTestInt, 0.75);
  EXPECT_EQ(plug->GetParam(kTestInt)->Value(), 15.0);
  const std::vector<HostCall> automate = host.CallsWith(audioMasterAutomate);
  ASSERT_EQ(automate.size(), 1u);
  EXPECT_EQ(automate[0].index, kTestInt);
  EXPECT_FLOAT_EQ(automate[0].opt, 0.75f);
  EXPECT_TRUE(host.CallsWith(audioMasterBeginEdit).empty());
  EXPECT_EQ(plug->mLog, std::vector<std::string>{"OnParameterChange(2)"});
}

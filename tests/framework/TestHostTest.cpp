// The host the tests, fuzz targets and benchmarks share: what it hands a plug-in must be what it claims.
#include <gtest/gtest.h>

#include "TestHost.h"
#include "TestPlugin.h"

namespace {
IPluginBase* CreateSixChannels() {
  TestPluginOptions options;
  options.mChannelIO = "6-6";
  return new TestPlugin(options);
}
}  // namespace

TEST(TestHost, BuffersHoldEveryChannelThePlugInDeclares) {
  TestHost host;
  host.Load(CreateSixChannels);
  ASSERT_EQ(host.Effect()->numInputs, 6);
  host.Process(32);
  ASSERT_EQ(host.mIn[5].size(), 32u);
  ASSERT_EQ(host.mOut[5].size(), 32u);
  EXPECT_TRUE(host.mOut[6].empty());
  host.mIn[5].assign(32, 0.5f);
  host.Process(32);
  EXPECT_EQ(host.mOut[5][31], 0.5f);
  host.mInDouble[5].assign(16, 0.25);
  host.ProcessDouble(16);
  EXPECT_EQ(host.mOutDouble[5][15], 0.25);
}

TEST(TestHost, APlayingTransportMovesOnWithEachBlockAndAStoppedOneStays) {
  TestHost host;
  host.Load(TestPlugin::Create);
  host.Start(48000.0, 512);
  host.SetTransport(1000.0, 90.0, true);
  for (int i = 0; i < 3; ++i) host.Process(512);
  EXPECT_EQ(host.SamplePos(), 1000.0 + 3 * 512);
  host.Process(-5);
  host.SetPlaying(false);
  host.Process(512);
  EXPECT_EQ(host.SamplePos(), 1000.0 + 3 * 512);
  EXPECT_EQ(host.mTime.sampleRate, 48000.0) << "the rate Start set";
}

// The benchmarks' counting mode logs nothing, the recording mode everything; both count and show each event.
TEST(TestHost, BothModesCountEventsAndShowEachAsItArrives) {
  for (TestHost::Mode mode : {TestHost::Mode::kRecording, TestHost::Mode::kCounting}) {
    const bool recording = mode == TestHost::Mode::kRecording;
    SCOPED_TRACE(recording ? "recording" : "counting");
    TestHost host(mode);
    host.Load(TestPlugin::Create);
    std::vector<int> framesAtArrival;
    host.mOnEvent = [&](const VstEvent&) { framesAtArrival.push_back(host.ProcessingFrames()); };
    host.SendMidi(0x90, 60, 100, 3);
    host.SendMidi(0x80, 60, 0, 9);
    host.Process(64);
    EXPECT_EQ(framesAtArrival, std::vector<int>({64, 64}));
    EXPECT_EQ(host.mEventsReceived, 2u);
    EXPECT_EQ(host.mBatches, 1);
    EXPECT_EQ(host.Midi().size(), recording ? 2u : 0u);
    EXPECT_EQ(host.mCalls.empty(), !recording);
  }
}

#ifndef _WIN32
TEST(TestHost, LoadsAPlugInFromItsModuleFile) {
  TestHost host;
  std::string error;
  EXPECT_FALSE(host.LoadModule("./NoSuchPlugin.so", &error));
  EXPECT_NE(error.find("NoSuchPlugin.so"), std::string::npos) << error;
  EXPECT_EQ(host.Effect(), nullptr);

  ASSERT_TRUE(host.LoadModule("./TestPlugin.so", &error)) << error;
  host.Start(44100.0, 64);
  EXPECT_EQ(host.ParamName(kTestBool), "Switch");
  host.mIn[0].assign(64, 0.75f);
  host.SendMidi(0x90, 64, 90, 5);
  host.Process(64);
  EXPECT_EQ(host.mOut[0][63], 0.75f);
  ASSERT_EQ(host.Midi().size(), 1u);
  EXPECT_EQ(host.Midi()[0].offset, 5);
  host.Close();
  EXPECT_EQ(host.Effect(), nullptr);
}
#endif

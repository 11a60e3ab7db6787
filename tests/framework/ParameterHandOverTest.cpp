// How parameter values cross from the host's and the editor's threads to the audio thread: what the host reads
// back, when the audio side sees a value, and that it never sees half of a program or chunk load.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TestHost.h"
#include "TestPlugin.h"

namespace {

// Records what reaches the audio side, in fixed storage: the audio thread must not allocate.
class HandOverPlugin : public TestPlugin {
 public:
  using TestPlugin::TestPlugin;
  static IPluginBase* Create() { return new HandOverPlugin(); }
  void ApplyParameter(int paramIdx, double value) override {
    if (paramIdx < kTestNumHostParams) mApplied[paramIdx] = value;
    ++mApplyCalls;
  }
  double mApplied[kTestNumHostParams] = {};
  int mApplyCalls = 0;
};

HandOverPlugin* PluginOf(AEffect* effect) {
  return static_cast<HandOverPlugin*>(VstPluginOf(effect));
}

}  // namespace

TEST(ParameterHandOver, TheHostReadsBackAtOnceAndTheAudioSideTakesTheValueAtItsNextCall) {
  TestHost host;
  HandOverPlugin* plug = PluginOf(host.Load(HandOverPlugin::Create));
  host.Process(16);
  const int calls = plug->mApplyCalls;
  host.SetParameter(kTestDouble, 0.25f);
  host.SetParameter(kTestDouble, 0.75f);
  EXPECT_FLOAT_EQ(host.GetParameter(kTestDouble), 0.75f);
  EXPECT_EQ(plug->mApplyCalls, calls) << "nothing reaches the audio side outside its own calls";
  // Event delivery comes first in a block: the events see the new value already.
  host.SendMidi(0x90, 60, 100, 0);
  EXPECT_EQ(plug->mApplyCalls, calls + 1) << "only the latest value, once";
  EXPECT_DOUBLE_EQ(plug->mApplied[kTestDouble], plug->GetParam(kTestDouble)->Value());
  host.Process(16);
  EXPECT_EQ(plug->mApplyCalls, calls + 1);
}

// A control thread loads two chunks in turn, one with every parameter low and one with every parameter high,
// while the audio thread processes: after every processing call the audio side holds one chunk whole.
TEST(ParameterHandOver, AChunkLoadReachesTheAudioSideWholeAtABlockBoundary) {
  TestHost host(TestHost::Mode::kCounting);  // the log is no place for two threads
  AEffect* effect = host.Load(HandOverPlugin::Create);
  HandOverPlugin* plug = PluginOf(effect);
  plug->mLogCalls = false;
  std::vector<unsigned char> chunks[2];
  for (int c = 0; c < 2; ++c) {
    for (int p = 0; p < kTestNumHostParams; ++p) host.SetParameter(p, c == 0 ? 0.0f : 1.0f);
    void* data = nullptr;
    const VstIntPtr size = host.Dispatch(effGetChunk, 1, 0, &data);
    ASSERT_GT(size, 0);
    chunks[c].assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
  }
  host.Process(16);

  std::atomic<bool> stop{false};
  std::atomic<int> loads{0};
  std::thread control([&] {
    for (int i = 0; !stop; ++i) {
      std::vector<unsigned char>& chunk = chunks[i % 2];
      effect->dispatcher(effect, effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f);
      ++loads;
    }
  });
  int mixed = 0, blocks = 0;
  std::vector<float> buffer(2 * 16);
  float* io[2] = {&buffer[0], &buffer[16]};
  while (loads < 200000 || blocks < 200000) {
    effect->processReplacing(effect, io, io, 16);
    ++blocks;
    for (int p = 1; p < kTestNumHostParams; ++p)
      if (plug->GetParam(p)->NormalizeValue(plug->mApplied[p]) !=
          plug->GetParam(0)->NormalizeValue(plug->mApplied[0]))
        ++mixed;
  }
  stop = true;
  control.join();
  EXPECT_EQ(mixed, 0) << "of " << blocks << " blocks, while " << loads << " chunks were loaded";
}

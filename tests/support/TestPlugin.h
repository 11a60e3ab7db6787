// A small plug-in that exercises the framework: a few parameters of each type, MIDI passed
// straight through, audio passed through, and a log of the base's virtual calls.
#pragma once

#include <string>
#include <vector>

#include "IPluginBase.h"
#include "VstEntry.h"

enum ETestParams { kTestBool = 0, kTestEnum, kTestInt, kTestDouble, kTestNumHostParams };

struct TestPluginOptions {
  bool mDoesMidi = true;
  bool mDoesChunks = true;
  bool mIsInstrument = true;
  int mPresets = 3;
  const char* mChannelIO = "1-1 2-2";
  bool mProcessesAudio = true;
};

class TestPlugin : public IPluginBase {
 public:
  explicit TestPlugin(const TestPluginOptions& options = TestPluginOptions());

  void Reset() override;
  void OnParameterChange(int paramIdx) override;
  void OnActivate(bool active) override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  bool ProcessesAudio() const override { return mProcessesAudio; }

  static IPluginBase* Create() { return new TestPlugin(); }
  static IPluginBase* CreateWithoutMidi();
  static IPluginBase* CreateWithoutChunks();
  static IPluginBase* CreateWithoutPresets();
  static IPluginBase* CreateWithoutAudio();

  std::vector<std::string> mLog;  // "Reset", "OnActivate(1)", "OnParameterChange(2)", ...
  bool mLogCalls = true;  // off where allocations are counted
  std::vector<double> mFirstInputSamples;  // input 0 and 1, frame 0, of the last block
  int mLastBlockFrames = -1;
  bool mBuffersGiven = false;  // whether the last ProcessBlock got buffer tables
  std::vector<IMidiMessage> mSendInBlock;  // sent, in this order, by every ProcessBlock

 private:
  bool mProcessesAudio;
};

#include "TestPlugin.h"

#include <string>

namespace {
const char* const kEnumTexts[] = {"Red", "Green", "Blue", ""};
}

TestPlugin::TestPlugin(const TestPluginOptions& options)
    : IPluginBase(kTestNumHostParams, options.mChannelIO, options.mPresets, "TestPlugin", "TestProduct",
                 "TestVendor", 0x10203, VstFourCC('t', 's', 't', 'P'), VstFourCC('t', 's', 't', 'V'), 0,
                 options.mDoesMidi, options.mDoesChunks, options.mIsInstrument),
      mProcessesAudio(options.mProcessesAudio) {
  GetParam(kTestBool)->DefineBool("Switch", false);
  GetParam(kTestEnum)->DefineEnum("Colour", 0, 4);
  for (int i = 0; i < 4; ++i) GetParam(kTestEnum)->AddDisplayText(i, kEnumTexts[i]);
  GetParam(kTestInt)->DefineInt("Offset", 0, -30, 30, "st");
  GetParam(kTestDouble)->DefineDouble("Amount", 0.0, 0.0, 1.0, 0.01, "");
  // One parameter beyond what the host is told, as plug-ins may append.
  mParameters.push_back(std::make_unique<IParameter>());
  GetParam(kTestNumHostParams)->DefineDouble("Internal", 0.0, 0.0, 1.0, 1.0, "");
  mFirstInputSamples.reserve(2);
}

IPluginBase* TestPlugin::CreateWithoutMidi() {
  TestPluginOptions options;
  options.mDoesMidi = false;
  return new TestPlugin(options);
}

IPluginBase* TestPlugin::CreateWithoutChunks() {
  TestPluginOptions options;
  options.mDoesChunks = false;
  return new TestPlugin(options);
}

IPluginBase* TestPlugin::CreateWithoutPresets() {
  TestPluginOptions options;
  options.mPresets = 0;
  return new TestPlugin(options);
}

IPluginBase* TestPlugin::CreateWithoutAudio() {
  TestPluginOptions options;
  options.mProcessesAudio = false;
  return new TestPlugin(options);
}

void TestPlugin::Reset() {
  if (mLogCalls) mLog.push_back("Reset");
}

void TestPlugin::OnParameterChange(int paramIdx) {
  if (mLogCalls) mLog.push_back("OnParameterChange(" + std::to_string(paramIdx) + ")");
}

void TestPlugin::OnActivate(bool active) {
  if (mLogCalls) mLog.push_back(active ? "OnActivate(1)" : "OnActivate(0)");
}

void TestPlugin::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  mLastBlockFrames = nFrames;
  mBuffersGiven = inputs && outputs;
  mFirstInputSamples.clear();
  if (nFrames > 0 && inputs)
    for (int c = 0; c < NInChannels(); ++c) mFirstInputSamples.push_back(inputs[c][0]);
  IPluginBase::ProcessBlock(inputs, outputs, nFrames);
  if (!mSendInBlock.empty()) SendMidiMessages(mSendInBlock.data(), static_cast<int>(mSendInBlock.size()));
}

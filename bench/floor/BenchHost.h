// The host loop that a plug-in and its floor both run through in a benchmark: a transport that moves on with
// every block and a MIDI sink that only counts, so neither side pays for a call log.
#pragma once

#include <cstddef>
#include <vector>

#include "VstEntry.h"
#include "VstAbi.h"

class BenchHost {
 public:
  explicit BenchHost(int maxFrames = 4096);
  ~BenchHost();
  BenchHost(const BenchHost&) = delete;
  BenchHost& operator=(const BenchHost&) = delete;

  // Creates and opens the plug-in; null when it could not be created.
  AEffect* Load(PluginFactory factory);
  AEffect* LoadMinimal();

  void SendEvents(VstEvents* events) { mEffect->dispatcher(mEffect, effProcessEvents, 0, 0, events, 0.0f); }
  void Process(int frames);        // processReplacing
  void ProcessDouble(int frames);  // processDoubleReplacing
  void SetParameter(int index, float value) { mEffect->setParameter(mEffect, index, value); }

  std::size_t mEventsReceived = 0;
  std::size_t mProcessEventsCalls = 0;

 private:
  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt);
  VstIntPtr OnCallback(VstInt32 opcode, VstIntPtr value, void* ptr);
  AEffect* Opened(AEffect* effect);

  AEffect* mEffect = nullptr;
  VstTimeInfo mTimeInfo = {};
  double mSamplePos = 0.0;
  std::vector<float> mFloat[4];
  std::vector<double> mDouble[4];
};

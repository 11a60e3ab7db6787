// A host for fuzz targets: loads Cyclochord, answers its callbacks from state the target sets, and checks every
// note event the plug-in sends as it arrives.
#pragma once

#include <cstdint>

#include "FuzzFail.h"
#include "VstAbi.h"

class FuzzHost {
 public:
  FuzzHost();
  ~FuzzHost();
  FuzzHost(const FuzzHost&) = delete;
  FuzzHost& operator=(const FuzzHost&) = delete;

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // A processing call through the chosen callback on buffers of frames; frames may exceed kMaxFrames only as a
  // claim (the buffers hold kMaxFrames), so it is capped there.
  enum class Precision { kAccumulating, kSingle, kDouble };
  void Process(int frames, Precision precision);

  AEffect* Effect() const { return mEffect; }
  // Fails the run with a message when no note sounds after a stopped block.
  void StopAndCheckSilence();
  bool AnySounding() const;

  static constexpr int kMaxFrames = 8192;
  static constexpr int kMaxChannels = 8;

  VstTimeInfo mTime = {};
  bool mTimeAvailable = true;
  bool mAdvance = true;  // a playing transport moves on by each block, as a host's does
  const char* mProductString = "Fuzz Host";

 private:
  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt);
  void Receive(const VstEvents* events);

  AEffect* mEffect = nullptr;
  int mFrames = -1;  // of the processing call under way, -1 outside one
  bool mSounding[16][128] = {};
};

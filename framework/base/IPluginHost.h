// What a plug-in asks of the format that hosts it. Each format's wrapper owns one plug-in and answers for it;
// the plug-in itself never knows which format that is.
#pragma once

#include "IMidiMessage.h"

// The host's transport as the plug-in sees it; defaults hold where the host gives nothing.
struct TransportInfo {
  double mSamplePos = -1.0;
  double mTempo = 120.0;
  double mPpqPos = -1.0;
  double mLastBarPos = -1.0;
  int mNumerator = 4;
  int mDenominator = 4;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  bool mPlaying = false;
  bool mCycleActive = false;
};

class IPluginHost {
 public:
  virtual ~IPluginHost() = default;
  // [editor or control thread] A user's edit of a parameter, as the host records automation.
  virtual void BeginHostEdit(int paramIdx) = 0;
  virtual void NotifyHostOfChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndHostEdit(int paramIdx) = 0;
  // [audio thread] The transport at the start of the block being processed.
  virtual void GetTransportInfo(TransportInfo* info) = 0;
  // [audio thread] Into the output of the block being processed; outside one, held for the next.
  virtual bool SendMidiMessage(const IMidiMessage* msg) = 0;
  virtual bool SendMidiMessages(const IMidiMessage* msgs, int count) = 0;
  // [editor thread] The editor's size changed.
  virtual void OnEditorResized(int width, int height) = 0;
};

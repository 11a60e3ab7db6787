// The host's transport as LV2 time:Position objects describe it, carried from one cycle to the next and
// turned into the TransportInfo that the VST wrapper fills from the host's time information.
#pragma once

#include <cstdint>

#include "IPluginBase.h"

// One time:Position object: each field counts only when its flag is set.
struct Lv2Position {
  bool mHasFrame = false, mHasSpeed = false, mHasTempo = false, mHasBeat = false;
  bool mHasBar = false, mHasBarBeat = false, mHasBeatsPerBar = false, mHasBeatUnit = false;
  int64_t mFrame = 0;
  double mSpeed = 0.0;
  double mTempo = 0.0;        // beats per minute
  double mBeat = 0.0;         // beats since the start, in beat units
  int64_t mBar = 0;
  double mBarBeat = 0.0;
  double mBeatsPerBar = 0.0;
  int32_t mBeatUnit = 0;
};

class Lv2Transport {
 public:
  // Back to a stopped transport at frame 0 that has heard from no host.
  void Reset() { *this = Lv2Transport(); }
  // Takes what the object says; fields it does not carry keep their value.
  void Apply(const Lv2Position& position);
  // The transport moves on by frames at its speed (between the host's objects, hosts send none).
  void Advance(int64_t frames, double sampleRate);
  // What the VST wrapper would report for the same state.
  void Fill(TransportInfo* info) const;

  bool Playing() const { return mSpeed != 0.0; }
  double Frame() const { return mFrame; }

 private:
  double QuarterNotes(double beats) const;

  double mFrame = 0.0;
  double mSpeed = 0.0;
  double mTempo = 0.0;
  bool mHasBeat = false;
  double mBeat = 0.0;
  bool mHasBar = false;
  double mBarStartBeat = 0.0;
  double mBeatsPerBar = 0.0;
  int32_t mBeatUnit = 0;
};

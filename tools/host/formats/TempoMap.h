// Converts between ticks, beats, seconds and frames along a file's tempo and time-signature map.
#pragma once

#include <cstdint>
#include <vector>

#include "MidiFile.h"

namespace cchost {

class TempoMap {
 public:
  // From every tempo and time-signature meta event of the file; 120 bpm and 4/4 until the first.
  // A constant bpm above 0 replaces the file's tempo events.
  explicit TempoMap(const MidiFile& file, double constantBpm = 0.0);

  int Division() const { return mDivision; }
  double TickToSeconds(double tick) const;
  double SecondsToTick(double seconds) const;
  double BpmAtTick(double tick) const;
  // Positions before tick 0 (a pre-roll) continue the first tempo and time signature backwards.
  double BeatsAtSeconds(double seconds) const { return SecondsToTick(seconds) / mDivision; }
  double SecondsAtBeats(double beats) const { return TickToSeconds(beats * mDivision); }

  struct TimeSignature {
    int numerator = 4;
    int denominator = 4;
  };
  TimeSignature TimeSignatureAtTick(double tick) const;
  double BarStartBeats(double beats) const;  // start of the bar that holds this position

  // Ticks at which the tempo or the time signature changes, in order.
  std::vector<uint32_t> ChangeTicks() const;
  const std::vector<MidiEvent>& ConductorEvents() const { return mConductor; }

 private:
  struct TempoSegment {
    double tick;
    double seconds;  // time at the segment start
    double secondsPerTick;
  };
  struct SignatureSegment {
    double tick;
    TimeSignature signature;
  };
  const TempoSegment& SegmentAtTick(double tick) const;
  const TempoSegment& SegmentAtSeconds(double seconds) const;

  int mDivision;
  std::vector<TempoSegment> mTempo;
  std::vector<SignatureSegment> mSignatures;
  std::vector<MidiEvent> mConductor;  // tempo, time and key signature events for an output file
};

}  // namespace cchost

// Scale snapping: the precomputed map from source note to the nearest degree of a scale on a tonic.
#pragma once

#include <cstdint>

#include "MidiLimits.h"

constexpr int kNumScales = 5;
constexpr int kNumPitchClasses = 12;

// Bit k set: the pitch class k semitones above the tonic is a degree.
extern const uint16_t kScaleDegreeMasks[kNumScales];
extern const char* const kScaleNames[kNumScales];
extern const char* const kTonicNames[kNumPitchClasses];

class ScaleMap {
 public:
  ScaleMap();

  // Each returns true when the value changed and the map was rebuilt.
  bool SetSnap(bool snap);
  bool SetScale(int scale);
  bool SetTonic(int tonic);

  bool Snap() const { return mSnap; }
  int Scale() const { return mScale; }
  int Tonic() const { return mTonic; }
  int DegreeOffset(int pitchClass) const { return mDegreeOffset[pitchClass]; }

  // Output note for a source note, or -1 when it yields none (also for a source outside 0..127).
  int32_t Map(int sourceNote) const {
    return (sourceNote >= 0 && sourceNote < NUM_MIDI_NOTES) ? mNoteMap[sourceNote] : -1;
  }

 private:
  void RebuildOffsets();
  void RebuildMap();

  bool mSnap = false;
  int32_t mScale = 0;
  int32_t mTonic = 0;
  int32_t mDegreeOffset[kNumPitchClasses] = {};
  int32_t mNoteMap[NUM_MIDI_NOTES] = {};
};

// Builds the degree offsets and the note map of the scale snapping.
#include "ScaleMap.h"

#include <algorithm>

#include "EngineAssert.h"

const uint16_t kScaleDegreeMasks[kNumScales] = {0xAB5, 0x5AD, 0x295, 0x555, 0xFFF};
const char* const kScaleNames[kNumScales] = {"Major", "Minor", "Penta", "Whole", "Chrom"};
const char* const kTonicNames[kNumPitchClasses] = {"C",  "C#", "D",  "D#", "E",  "F",
                                                   "F#", "G",  "G#", "A",  "A#", "B"};

ScaleMap::ScaleMap() { RebuildOffsets(); }

bool ScaleMap::SetSnap(bool snap) {
  if (snap == mSnap) return false;
  mSnap = snap;
  RebuildOffsets();
  return true;
}

bool ScaleMap::SetScale(int scale) {
  scale = std::clamp(scale, 0, kNumScales - 1);
  if (scale == mScale) return false;
  mScale = scale;
  RebuildOffsets();
  return true;
}

bool ScaleMap::SetTonic(int tonic) {
  tonic = std::clamp(tonic, 0, kNumPitchClasses - 1);
  if (tonic == mTonic) return false;
  mTonic = tonic;
  // The offsets are relative to the tonic and stay valid.
  RebuildMap();
  return true;
}

void ScaleMap::RebuildOffsets() {
  unsigned degreeMask = kScaleDegreeMasks[mScale];
  CC_ASSERT(degreeMask != 0);
  if (!mSnap) degreeMask = 0xFFF;

  int below[kNumPitchClasses];
  for (int k = 0; k < kNumPitchClasses; ++k)
    below[k] = (degreeMask >> k) & 1u ? 0 : (k > 0 ? below[k - 1] : 0) + 1;

  // The tonic an octave up counts as a degree; a class halfway between two degrees goes up.
  int above = 0;
  for (int k = kNumPitchClasses - 1; k >= 0; --k) {
    if ((degreeMask >> k) & 1u) {
      above = 0;
      mDegreeOffset[k] = 0;
    } else {
      ++above;
      mDegreeOffset[k] = below[k] >= above ? above : -below[k];
    }
  }
  RebuildMap();
}

void ScaleMap::RebuildMap() {
  for (int n = 0; n < NUM_MIDI_NOTES; ++n) {
    const int pitchClass = ((n - mTonic) % kNumPitchClasses + kNumPitchClasses) % kNumPitchClasses;
    const int v = n + mDegreeOffset[pitchClass];
    mNoteMap[n] = (v >= 0 && v < NUM_MIDI_NOTES) ? v : -1;
  }
}

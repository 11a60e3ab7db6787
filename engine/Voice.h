// One output voice: channel, intervals, velocity offset, delay, mutes and its rotation through the intervals.
#pragma once

#include <cstdint>

enum ERotationAlgorithm { kAlgoUp = 0, kAlgoDown, kAlgoUpDown, kAlgoZigZag, kAlgoRandom, kNumAlgorithms };

extern const char* const kAlgorithmNames[kNumAlgorithms];

// The multiply-with-carry generator shared by every voice of one plug-in: two words.
constexpr uint32_t kRandomSeed0 = 0x1234;
constexpr uint32_t kRandomSeed1 = ~kRandomSeed0;  // 0xFFFFEDCB

struct Voice {
  static constexpr int kMaxIntervals = 4;

  int32_t mChannel = 1;
  int32_t mVelocityOffset = 0;
  int32_t mInterval[kMaxIntervals] = {0, 0, 0, 0};
  bool mIntervalMute[kMaxIntervals] = {false, false, false, false};
  int32_t mNumIntervals = kMaxIntervals;
  bool mMute = false;
  int32_t mDelaySamples = 0;
  int32_t mIndex = 0;
  int32_t mAlgorithm = kAlgoUp;
  int32_t mDirection = +1;
  uint32_t* mpRandom = nullptr;  // the plug-in's two random words

  int numIntervals() const { return mNumIntervals; }
  void SetNumIntervals(int n);

  // Selecting an algorithm restarts the rotation, even when it is the one already selected.
  void SetAlgorithm(int algorithm);
  // One rotation step; the rotator voices take one at every incoming note-on.
  void Advance();

  bool CanEmit() const { return !mMute && !mIntervalMute[mIndex]; }
  int CurrentInterval() const { return mInterval[mIndex]; }

  // Steps the two shared words and returns an interval index 0..3.
  static int NextRandomIndex(uint32_t* state);
};

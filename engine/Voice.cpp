// Rotation of a voice through its intervals by the five algorithms.
#include "Voice.h"

#include <algorithm>

#include "EngineAssert.h"

const char* const kAlgorithmNames[kNumAlgorithms] = {"Up", "Down", "UpDown", "ZigZag", "Random"};

void Voice::SetNumIntervals(int n) {
  mNumIntervals = std::clamp(n, 1, kMaxIntervals);
  if (mIndex >= mNumIntervals) mIndex = 0;
}

void Voice::SetAlgorithm(int algorithm) {
  mAlgorithm = algorithm;
  if (algorithm == kAlgoDown) {
    mIndex = mNumIntervals - 1;
    mDirection = -1;
  } else {
    mIndex = 0;
    mDirection = +1;
  }
}

int Voice::NextRandomIndex(uint32_t* state) {
  state[1] = 36969u * (state[1] & 0xFFFFu) + (state[1] >> 16);
  state[0] = 18000u * (state[0] & 0xFFFFu) + (state[0] >> 16);
  return static_cast<int>((state[0] >> 13) & 3u);
}

void Voice::Advance() {
  const int n = mNumIntervals;
  if (n <= 1) return;
  switch (mAlgorithm) {
    case kAlgoUp:
      if (++mIndex >= n) mIndex = 0;
      break;
    case kAlgoDown:
      if (--mIndex < 0) mIndex = n - 1;
      break;
    case kAlgoUpDown:
      if (mDirection > 0) {
        if (++mIndex >= n) {
          mIndex = n - 2;
          mDirection = -1;
        }
      } else {
        if (--mIndex < 0) {
          mIndex = 1;
          mDirection = +1;
        }
      }
      break;
    case kAlgoZigZag:
      if (mDirection > 0) {
        mIndex += 2;
        mDirection = -1;
        if (mIndex >= n) {
          mIndex = 0;
          mDirection = +1;
        }
      } else {
        mIndex = mIndex >= n - 1 ? 0 : (mIndex - 1 < 0 ? 1 : mIndex - 1);
        mDirection = +1;
      }
      break;
    case kAlgoRandom:
      CC_ASSERT(mpRandom);
      // The draw is 0..3 whatever n is; fold it into the voice's own intervals.
      mIndex = NextRandomIndex(mpRandom) % n;
      break;
    default:
      break;
  }
}

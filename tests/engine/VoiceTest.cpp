// Rotation of the voices through their intervals by each algorithm, and the shared random stream.
#include <gtest/gtest.h>

#include <vector>

#include "Voice.h"

namespace {
std::vector<int> Steps(Voice& voice, int count) {
  std::vector<int> indices;
  for (int i = 0; i < count; ++i) {
    voice.Advance();
    indices.push_back(voice.mIndex);
  }
  return indices;
}
}  // namespace

TEST(Voice, EachAlgorithmStepsThroughFourIntervalsFromItsSelection) {
  struct Case {
    int algorithm;
    std::vector<int> indices;
  } cases[] = {
      {kAlgoUp, {1, 2, 3, 0, 1, 2, 3, 0}},
      {kAlgoDown, {2, 1, 0, 3, 2, 1, 0, 3}},
      {kAlgoUpDown, {1, 2, 3, 2, 1, 0, 1, 2}},
      {kAlgoZigZag, {2, 1, 3, 0, 2, 1, 3, 0}},
  };
  for (const Case& c : cases) {
    Voice voice;
    voice.Advance();  // wherever it was before does not matter
    voice.SetAlgorithm(c.algorithm);
    EXPECT_EQ(Steps(voice, 8), c.indices) << kAlgorithmNames[c.algorithm];
  }
}

TEST(Voice, SelectingAnAlgorithmAgainRestartsTheRotation) {
  Voice voice;
  voice.SetAlgorithm(kAlgoDown);
  EXPECT_EQ(voice.mIndex, 3);
  EXPECT_EQ(voice.mDirection, -1);
  Steps(voice, 2);
  voice.SetAlgorithm(kAlgoDown);
  EXPECT_EQ(voice.mIndex, 3);
  voice.SetAlgorithm(kAlgoUpDown);
  EXPECT_EQ(voice.mIndex, 0);
  EXPECT_EQ(voice.mDirection, +1);
}

TEST(Voice, TheRandomStreamStartsFromItsFixedSeed) {
  uint32_t state[2] = {kRandomSeed0, kRandomSeed1};
  std::vector<int> draws;
  for (int i = 0; i < 12; ++i) draws.push_back(Voice::NextRandomIndex(state));
  EXPECT_EQ(draws, (std::vector<int>{3, 0, 2, 2, 1, 2, 0, 0, 3, 0, 1, 2}));
}

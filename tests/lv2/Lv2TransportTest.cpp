// time:Position objects become the same transport a VST host reports, between objects too.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "CaseName.h"
#include "Lv2Transport.h"

namespace {
Lv2Position Rolling(int64_t frame, double bpm) {
  Lv2Position p;
  p.mHasFrame = p.mHasSpeed = p.mHasTempo = true;
  p.mFrame = frame;
  p.mSpeed = 1.0;
  p.mTempo = bpm;
  return p;
}

Lv2Position Musical(int64_t bar, double barBeat, double beatsPerBar, int beatUnit) {
  Lv2Position p = Rolling(0, 120.0);
  p.mHasBar = p.mHasBarBeat = p.mHasBeatsPerBar = p.mHasBeatUnit = true;
  p.mBar = bar;
  p.mBarBeat = barBeat;
  p.mBeatsPerBar = beatsPerBar;
  p.mBeatUnit = beatUnit;
  return p;
}

struct Step {
  bool mApply;          // apply mPosition, else advance by mFrames
  Lv2Position mPosition;
  int64_t mFrames;
};

struct TransportCase {
  const char* mName;
  std::vector<Step> mSteps;
  TransportInfo mExpected;
};

TransportInfo Info(double samplePos, double tempo, double ppq, double bar, int num, int den, bool playing) {
  TransportInfo info;
  info.mSamplePos = samplePos;
  info.mTempo = tempo;
  info.mPpqPos = ppq;
  info.mLastBarPos = bar;
  info.mNumerator = num;
  info.mDenominator = den;
  info.mPlaying = playing;
  return info;
}

Lv2Position Stop() {
  Lv2Position p;
  p.mHasSpeed = true;
  p.mSpeed = 0.0;
  return p;
}

Lv2Position NaNTempo() {
  Lv2Position p;
  p.mHasTempo = true;
  p.mTempo = std::nan("");
  return p;
}

const TransportCase kCases[] = {
    {"no host object: stopped at 0 with the VST defaults", {}, Info(0, 120, -1, -1, 4, 4, false)},
    {"a rolling object", {{true, Rolling(1000, 90), 0}}, Info(1000, 90, -1, -1, 4, 4, true)},
    {"between objects the frame moves with the cycle",
     {{true, Rolling(1000, 90), 0}, {false, {}, 512}, {false, {}, 100}},
     Info(1612, 90, -1, -1, 4, 4, true)},
    {"a stopped transport stands still", {{true, Rolling(1000, 90), 0}, {true, Stop(), 0}, {false, {}, 512}},
     Info(1000, 90, -1, -1, 4, 4, false)},
    {"fields an object leaves out keep their values", {{true, Rolling(1000, 90), 0}, {true, NaNTempo(), 0}},
     Info(1000, 90, -1, -1, 4, 4, true)},
    {"bar and beat in 3/4 give quarter-note positions", {{true, Musical(2, 1.5, 3, 4), 0}},
     Info(0, 120, 7.5, 6, 3, 4, true)},
    {"beats of eighth notes count half a quarter", {{true, Musical(1, 2, 6, 8), 0}},
     Info(0, 120, 4, 3, 6, 8, true)},
    // 120 bpm at 48 kHz: 24000 frames make a beat; 1.5 beats later the bar of 2 beats has turned.
    {"the song position follows the frames and bars turn", {{true, Musical(0, 1.0, 2, 4), 0}, {false, {}, 36000}},
     Info(36000, 120, 2.5, 2, 2, 4, true)},
};

class Lv2TransportTest : public testing::TestWithParam<TransportCase> {};

TEST_P(Lv2TransportTest, ReportsWhatAVstHostWould) {
  const TransportCase& c = GetParam();
  Lv2Transport transport;
  for (const Step& step : c.mSteps) {
    if (step.mApply)
      transport.Apply(step.mPosition);
    else
      transport.Advance(step.mFrames, 48000.0);
  }
  TransportInfo info;
  transport.Fill(&info);
  const TransportInfo& e = c.mExpected;
  EXPECT_DOUBLE_EQ(info.mSamplePos, e.mSamplePos);
  EXPECT_DOUBLE_EQ(info.mTempo, e.mTempo);
  EXPECT_DOUBLE_EQ(info.mPpqPos, e.mPpqPos);
  EXPECT_DOUBLE_EQ(info.mLastBarPos, e.mLastBarPos);
  EXPECT_EQ(info.mNumerator, e.mNumerator);
  EXPECT_EQ(info.mDenominator, e.mDenominator);
  EXPECT_EQ(info.mPlaying, e.mPlaying);
  EXPECT_FALSE(info.mCycleActive);
}

INSTANTIATE_TEST_SUITE_P(Positions, Lv2TransportTest, testing::ValuesIn(kCases), CaseName<TransportCase>);

TEST(Lv2TransportReset, ForgetsTheHost) {
  Lv2Transport transport;
  transport.Apply(Musical(3, 1, 4, 4));
  transport.Reset();
  TransportInfo info;
  transport.Fill(&info);
  EXPECT_FALSE(info.mPlaying);
  EXPECT_EQ(info.mPpqPos, -1.0);
  EXPECT_EQ(info.mSamplePos, 0.0);
}
}  // namespace

// The tempo-synchronised note values a voice can be delayed by, and their length in samples.
#pragma once

#include <cstdint>

struct DelayDivision {
  const char* mName;
  // Beats (quarter notes) as a fraction, so that triplets divide exactly.
  int32_t mBeatsNumerator;
  int32_t mBeatsDenominator;

  constexpr double Beats() const { return static_cast<double>(mBeatsNumerator) / mBeatsDenominator; }
};

constexpr int kNumDelayDivisions = 17;

// Ordered by length; the triplet rows hold half the usual triplet length.
inline constexpr DelayDivision kDelayDivisions[kNumDelayDivisions] = {
    {"--off--", 0, 1}, {"1/1", 4, 1},   {"1/2d", 3, 1},   {"1/2", 2, 1},  {"1/4d", 3, 2}, {"1/4", 1, 1},
    {"1/8d", 3, 4},    {"1/2t", 2, 3},  {"1/8", 1, 2},    {"1/16d", 3, 8}, {"1/4t", 1, 3}, {"1/16", 1, 4},
    {"1/32d", 3, 16},  {"1/8t", 1, 6},  {"1/32", 1, 8},   {"1/16t", 1, 12}, {"1/32t", 1, 24},
};

// The display texts of the delay parameters, in table order.
extern const char* const kDelayDivisionNames[kNumDelayDivisions];

// trunc(beats x samplesPerBeat), never negative and saturating at INT32_MAX for absurd tempos.
// An index outside the table counts as "--off--".
int32_t DelayInSamples(int divisionIdx, double samplesPerBeat);

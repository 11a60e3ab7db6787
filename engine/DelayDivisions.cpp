// Display texts and sample lengths of the delay note values.
#include "DelayDivisions.h"

#include <cstdint>

#define CC_DIVISION_NAME(i) kDelayDivisions[i].mName
const char* const kDelayDivisionNames[kNumDelayDivisions] = {
    CC_DIVISION_NAME(0),  CC_DIVISION_NAME(1),  CC_DIVISION_NAME(2),  CC_DIVISION_NAME(3),  CC_DIVISION_NAME(4),
    CC_DIVISION_NAME(5),  CC_DIVISION_NAME(6),  CC_DIVISION_NAME(7),  CC_DIVISION_NAME(8),  CC_DIVISION_NAME(9),
    CC_DIVISION_NAME(10), CC_DIVISION_NAME(11), CC_DIVISION_NAME(12), CC_DIVISION_NAME(13), CC_DIVISION_NAME(14),
    CC_DIVISION_NAME(15), CC_DIVISION_NAME(16)};
#undef CC_DIVISION_NAME

namespace {

// Truncation toward zero that saturates at the int32 range; the caller has ruled out NaN.
int32_t SaturatingTrunc(double v) {
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

int32_t DelayInSamples(int divisionIdx, double samplesPerBeat) {
  if (divisionIdx <= 0 || divisionIdx >= kNumDelayDivisions) return 0;
  if (!(samplesPerBeat > 0.0)) return 0;  // also NaN
  const DelayDivision& division = kDelayDivisions[divisionIdx];
  // Divide last, so that a third of 22050 samples is 7350 and not 7349.
  const double samples = samplesPerBeat * division.mBeatsNumerator / division.mBeatsDenominator;
  return SaturatingTrunc(samples);
}

// Scale snapping: degree offsets per scale and tonic, the identity when off, and notes pushed out of range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "DelayDivisions.h"
#include "ScaleMap.h"

namespace {
void ExpectIdentity(const ScaleMap& map) {
  for (int n = 0; n < NUM_MIDI_NOTES; ++n) ASSERT_EQ(map.Map(n), n) << n;
}
}  // namespace

TEST(ScaleMap, IsTheIdentityWhileSnappingIsOffWhateverScaleAndTonic) {
  ScaleMap map;
  ExpectIdentity(map);
  map.SetScale(2);
  map.SetTonic(5);
  ExpectIdentity(map);
  map.SetSnap(true);
  EXPECT_EQ(map.Map(66), 67);  // F penta: F# is a semitone above the tonic and goes up
  map.SetSnap(false);
  ExpectIdentity(map);
}

TEST(ScaleMap, SnapsToTheNearestDegreeAndHalfwayGoesUp) {
  struct Case {
    int scale, tonic, from, to;
  } cases[] = {
      {0, 0, 61, 62}, {0, 0, 63, 64}, {0, 0, 64, 64}, {0, 0, 66, 67},  // Major on C
      {2, 0, 65, 64}, {2, 0, 66, 67}, {2, 0, 70, 69}, {2, 0, 71, 72},  // Penta on C
      {0, 2, 60, 61}, {0, 2, 61, 61}, {0, 2, 63, 64},                  // Major on D
      {1, 0, 64, 65}, {1, 0, 71, 72},                                  // Minor on C
      {3, 0, 71, 72}, {3, 0, 70, 70},                                  // Whole on C: B goes to the next C
      {4, 7, 61, 61},                                                  // Chrom
  };
  for (const Case& c : cases) {
    ScaleMap map;
    map.SetSnap(true);
    map.SetScale(c.scale);
    map.SetTonic(c.tonic);
    EXPECT_EQ(map.Map(c.from), c.to) << kScaleNames[c.scale] << " on " << kTonicNames[c.tonic] << ": " << c.from;
  }
}

TEST(ScaleMap, ANoteSnappedPastTheRangeYieldsNone) {
  ScaleMap map;
  map.SetSnap(true);
  map.SetTonic(1);  // C# major: 127 is six semitones above the tonic and goes up
  EXPECT_EQ(map.Map(127), -1);
  EXPECT_EQ(map.Map(126), 126);
  EXPECT_EQ(map.Map(128), -1);
  EXPECT_EQ(map.Map(-1), -1);
}

TEST(ScaleMap, SettingTheValueItAlreadyHasRebuildsNothing) {
  ScaleMap map;
  EXPECT_FALSE(map.SetSnap(false));
  EXPECT_FALSE(map.SetScale(0));
  EXPECT_FALSE(map.SetTonic(0));
  EXPECT_TRUE(map.SetSnap(true));
  EXPECT_TRUE(map.SetScale(1));
  EXPECT_TRUE(map.SetTonic(3));
  EXPECT_FALSE(map.SetTonic(3));
}

TEST(DelayDivisions, LengthsFollowTheTempoTruncatedAndNeverWrap) {
  EXPECT_EQ(DelayInSamples(0, 22050.0), 0);
  EXPECT_EQ(DelayInSamples(5, 22050.0), 22050);  // 1/4
  EXPECT_EQ(DelayInSamples(16, 22050.0), 918);   // 1/32t: 918.75
  EXPECT_EQ(DelayInSamples(10, 22050.0), 7350);  // 1/4t: exactly a third
  EXPECT_EQ(DelayInSamples(1, 44100.0), 176400);
  EXPECT_STREQ(kDelayDivisionNames[7], "1/2t");
  // Absurd tempos give absurd but valid lengths.
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(DelayInSamples(1, inf), INT32_MAX);
  EXPECT_EQ(DelayInSamples(0, inf), 0);
  EXPECT_EQ(DelayInSamples(1, std::nan("")), 0);
  EXPECT_EQ(DelayInSamples(1, -5.0), 0);
  EXPECT_EQ(DelayInSamples(99, 22050.0), 0);
}

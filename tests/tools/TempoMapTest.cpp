// Tempo map arithmetic: ticks, seconds, bars along tempo and time-signature changes.
#include <gtest/gtest.h>

#include "TempoMap.h"
#include "Transport.h"

using namespace cchost;

namespace {
MidiFile FileWith(std::vector<MidiEvent> conductor) {
  MidiFile file;
  file.division = 480;
  MidiTrack t;
  t.events = std::move(conductor);
  file.tracks.push_back(t);
  return file;
}
}  // namespace

TEST(TempoMap, WithoutTempoEventsItIs120BpmIn4_4) {
  const TempoMap map(FileWith({}));
  EXPECT_DOUBLE_EQ(map.TickToSeconds(480), 0.5);
  EXPECT_DOUBLE_EQ(map.BpmAtTick(100000), 120.0);
  EXPECT_DOUBLE_EQ(map.BarStartBeats(5.5), 4.0);
}

TEST(TempoMap, TempoChangesShiftLaterTimesAndConvertBothWays) {
  const TempoMap map(FileWith({TempoEvent(0, 120), TempoEvent(960, 60), TempoEvent(1440, 240)}));
  EXPECT_DOUBLE_EQ(map.TickToSeconds(960), 1.0);
  EXPECT_DOUBLE_EQ(map.TickToSeconds(1440), 2.0);
  EXPECT_DOUBLE_EQ(map.TickToSeconds(1920), 2.25);
  for (double tick : {0.0, 100.0, 959.0, 960.0, 1000.0, 1440.0, 5000.0})
    EXPECT_NEAR(map.SecondsToTick(map.TickToSeconds(tick)), tick, 1e-9);
  EXPECT_DOUBLE_EQ(map.BpmAtTick(959), 120.0);
  EXPECT_DOUBLE_EQ(map.BpmAtTick(960), 60.0);
  EXPECT_EQ(map.ChangeTicks(), (std::vector<uint32_t>{0, 960, 1440}));
}

TEST(TempoMap, AConstantTempoReplacesTheFilesTempoEvents) {
  const TempoMap map(FileWith({TempoEvent(0, 120), TempoEvent(960, 60)}), 90.0);
  EXPECT_DOUBLE_EQ(map.BpmAtTick(2000), 90.0);
  ASSERT_EQ(map.ConductorEvents().size(), 1u);
  EXPECT_EQ(MicrosecondsPerQuarter(map.ConductorEvents()[0]), 666667u);
}

TEST(TempoMap, BarsFollowTimeSignatureChanges) {
  // 3/4 from the start, 6/8 (three beats per bar) from beat 6, 5/4 from beat 12.
  const TempoMap map(FileWith({MidiEvent::Meta(0, 0x58, {3, 2, 24, 8}), MidiEvent::Meta(2880, 0x58, {6, 3, 24, 8}),
                               MidiEvent::Meta(5760, 0x58, {5, 2, 24, 8})}));
  EXPECT_DOUBLE_EQ(map.BarStartBeats(2.9), 0.0);
  EXPECT_DOUBLE_EQ(map.BarStartBeats(3.0), 3.0);
  EXPECT_DOUBLE_EQ(map.BarStartBeats(8.0), 6.0);
  EXPECT_DOUBLE_EQ(map.BarStartBeats(16.9), 12.0);
  EXPECT_DOUBLE_EQ(map.BarStartBeats(17.0), 17.0);
  EXPECT_EQ(map.TimeSignatureAtTick(3000).denominator, 8);
  // Before the song (a pre-roll) the first bar length continues backwards.
  EXPECT_DOUBLE_EQ(map.BarStartBeats(-1.0), -3.0);
}

TEST(Transport, TimeInfoDescribesTheBlockPosition) {
  const TempoMap map(FileWith({TempoEvent(0, 120), TempoEvent(960, 60)}));
  const Transport transport(map, 48000.0, 24000);
  VstTimeInfo info;
  transport.Fill(48000, 512, true, false, &info);  // 1 s = beat 2, where 60 bpm starts
  EXPECT_DOUBLE_EQ(info.samplePos, 72000.0);
  EXPECT_NEAR(info.ppqPos, 2.0, 1e-9);
  EXPECT_DOUBLE_EQ(info.tempo, 60.0);
  EXPECT_DOUBLE_EQ(info.barStartPos, 0.0);
  EXPECT_EQ(info.samplesToNextClock, 0);
  EXPECT_TRUE(info.flags & kVstTransportPlaying);
  EXPECT_FALSE(info.flags & kVstTransportChanged);
  transport.Fill(-24000, 512, false, true, &info);  // the pre-roll
  EXPECT_DOUBLE_EQ(info.samplePos, 0.0);
  EXPECT_NEAR(info.ppqPos, -1.0, 1e-9);
  EXPECT_DOUBLE_EQ(info.barStartPos, -4.0);
  EXPECT_FALSE(info.flags & kVstTransportPlaying);
  EXPECT_TRUE(info.flags & kVstTransportChanged);
}

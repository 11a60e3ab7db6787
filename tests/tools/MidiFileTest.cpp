// MIDI file reader and writer: real structures round-trip, malformed files are refused cleanly.
#include <gtest/gtest.h>

#include "MidiFileReader.h"
#include "MidiFileWriter.h"

using namespace cchost;

namespace {

std::vector<uint8_t> WithHeader(uint16_t format, uint16_t tracks, uint16_t division, std::vector<uint8_t> body) {
  std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, uint8_t(format >> 8), uint8_t(format),
                                uint8_t(tracks >> 8), uint8_t(tracks), uint8_t(division >> 8), uint8_t(division)};
  for (uint8_t b : body) bytes.push_back(b);
  return bytes;
}

std::vector<uint8_t> Chunk(const char* id, std::vector<uint8_t> data) {
  std::vector<uint8_t> out(id, id + 4);
  const uint32_t n = static_cast<uint32_t>(data.size());
  out.insert(out.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// Tempo, two note-ons under running status, note-offs, a sysex, a note-on with velocity 0.
const std::vector<uint8_t> kTrack = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0x90, 0x3C, 0x64, 0x00,
                                     0x40, 0x64, 0x60, 0x80, 0x3C, 0x00, 0x00, 0x40, 0x00, 0x00, 0xF0, 0x05,
                                     0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x10, 0x90, 0x43, 0x50, 0x81, 0x40, 0x43,
                                     0x00, 0x00, 0xFF, 0x2F, 0x00};

MidiFile MustRead(const std::vector<uint8_t>& bytes) {
  MidiFile file;
  std::string error;
  EXPECT_TRUE(ReadMidiFile(bytes, &file, &error)) << error;
  return file;
}

std::string ErrorFor(const std::vector<uint8_t>& bytes) {
  MidiFile file;
  file.division = 1234;
  std::string error;
  EXPECT_FALSE(ReadMidiFile(bytes, &file, &error));
  EXPECT_EQ(file.division, 1234) << "a failed read must leave the output alone";
  EXPECT_FALSE(error.empty());
  return error;
}

}  // namespace

TEST(MidiFileRoundTrip, RunningStatusSysexAndTempoReadAsEvents) {
  const MidiFile file = MustRead(WithHeader(0, 1, 96, Chunk("MTrk", kTrack)));
  ASSERT_EQ(file.tracks.size(), 1u);
  EXPECT_EQ(file.division, 96);
  const std::vector<MidiEvent>& e = file.tracks[0].events;
  ASSERT_EQ(e.size(), 8u);
  EXPECT_TRUE(e[0].IsTempo());
  EXPECT_EQ(MicrosecondsPerQuarter(e[0]), 500000u);
  EXPECT_EQ(e[1], MidiEvent::Channel(0, 0x90, 60, 100));
  EXPECT_EQ(e[2], MidiEvent::Channel(0, 0x90, 64, 100));
  EXPECT_EQ(e[3], MidiEvent::Channel(96, 0x80, 60, 0));
  EXPECT_EQ(e[4], MidiEvent::Channel(96, 0x80, 64, 0));
  EXPECT_EQ(e[5], MidiEvent::SysEx(96, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(e[6], MidiEvent::Channel(112, 0x90, 67, 80));
  EXPECT_EQ(e[7], MidiEvent::Channel(304, 0x90, 67, 0));
  EXPECT_TRUE(e[7].IsNoteOff());
  EXPECT_EQ(file.tracks[0].endTick, 304u);
}

TEST(MidiFileRoundTrip, WriterReproducesTheBytesOfACompactFile) {
  const std::vector<uint8_t> original = WithHeader(0, 1, 96, Chunk("MTrk", kTrack));
  EXPECT_EQ(WriteMidiFile(MustRead(original)), original);
}

TEST(MidiFileRoundTrip, FormatOneWithSeveralTracksSurvivesWriteAndRead) {
  MidiFile file;
  file.format = 1;
  file.division = 960;
  MidiTrack conductor;
  conductor.events = {TempoEvent(0, 120), MidiEvent::Meta(0, 0x58, {3, 2, 24, 8}), TempoEvent(1920, 90),
                      MidiEvent::Meta(2000, 0x06, {'B', 'r', 'i', 'd', 'g', 'e'}), TempoEvent(7680, 140.5)};
  conductor.endTick = 9000;
  MidiTrack a;
  a.events = {MidiEvent::Channel(0, 0xC1, 5), MidiEvent::Channel(0, 0x91, 60, 90), MidiEvent::Channel(0, 0x91, 64, 90),
              MidiEvent::Channel(100, 0xE1, 0x00, 0x50), MidiEvent::Channel(200000, 0x81, 60, 40),
              MidiEvent::Channel(200000, 0xD1, 33)};
  a.endTick = 200000;
  MidiTrack b;
  // A sysex split into an F0 packet and an F7 continuation, and an F7 escape of a real-time byte.
  b.events = {MidiEvent::SysEx(10, 0xF0, {0x43, 0x10}), MidiEvent::SysEx(20, 0xF7, {0x4C, 0x00, 0xF7}),
              MidiEvent::SysEx(30, 0xF7, {0xF8}), MidiEvent::Channel(30, 0xB9, 7, 127)};
  b.endTick = 40;
  file.tracks = {conductor, a, b};

  const MidiFile back = MustRead(WriteMidiFile(file));
  EXPECT_EQ(back.format, 1);
  EXPECT_EQ(back.division, 960);
  ASSERT_EQ(back.tracks.size(), 3u);
  for (size_t t = 0; t < 3; ++t) {
    EXPECT_EQ(back.tracks[t].events, file.tracks[t].events) << "track " << t;
    EXPECT_EQ(back.tracks[t].endTick, file.tracks[t].endTick) << "track " << t;
  }
}

TEST(MidiFileRoundTrip, WriterUsesRunningStatusButNeverAcrossMetaOrSysex) {
  MidiFile file;
  file.format = 0;
  MidiTrack t;
  for (int i = 0; i < 10; ++i) t.events.push_back(MidiEvent::Channel(0, 0x90, uint8_t(60 + i), 100));
  t.events.push_back(MidiEvent::Meta(0, 0x01, {'x'}));
  t.events.push_back(MidiEvent::Channel(0, 0x90, 70, 100));
  file.tracks.push_back(t);
  const std::vector<uint8_t> bytes = WriteMidiFile(file);
  // Header 14, chunk header 8; notes: 4 + 9 * 3; meta 5; note after meta 4 (status again); end 4.
  EXPECT_EQ(bytes.size(), 14u + 8u + 4u + 27u + 5u + 4u + 4u);
}

TEST(MidiFileRoundTrip, EventsAreWrittenInTickOrderAndOneEndOfTrack) {
  MidiFile file;
  MidiTrack t;
  t.events = {MidiEvent::Channel(50, 0x90, 61, 1), MidiEvent::Meta(10, 0x2F, {}), MidiEvent::Channel(5, 0x90, 60, 1)};
  file.tracks.push_back(t);
  const MidiFile back = MustRead(WriteMidiFile(file));
  ASSERT_EQ(back.tracks[0].events.size(), 2u);
  EXPECT_EQ(back.tracks[0].events[0].tick, 5u);
  EXPECT_EQ(back.tracks[0].events[1].tick, 50u);
  EXPECT_EQ(back.tracks[0].endTick, 50u);
}

TEST(MidiFileReading, UnknownChunksAreSkipped) {
  std::vector<uint8_t> body = Chunk("XFIH", {1, 2, 3, 4, 5});
  const std::vector<uint8_t> track = Chunk("MTrk", kTrack);
  body.insert(body.end(), track.begin(), track.end());
  const MidiFile file = MustRead(WithHeader(0, 1, 96, body));
  EXPECT_EQ(file.tracks[0].events.size(), 8u);
}

TEST(MidiFileReading, ALongerHeaderAndAMissingEndOfTrackAreTolerated) {
  std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 8, 0, 0, 0, 1, 0, 96, 0xAA, 0xBB};
  const std::vector<uint8_t> track = Chunk("MTrk", {0x00, 0x90, 0x3C, 0x64, 0x30, 0x3C, 0x00});
  bytes.insert(bytes.end(), track.begin(), track.end());
  const MidiFile file = MustRead(bytes);
  ASSERT_EQ(file.tracks[0].events.size(), 2u);
  EXPECT_EQ(file.tracks[0].endTick, 48u);
}

TEST(MidiFileReading, EventsAfterTheEndOfTrackAreNotPartOfIt) {
  const MidiFile file =
      MustRead(WithHeader(0, 1, 96, Chunk("MTrk", {0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90, 0x3C, 0x64})));
  EXPECT_TRUE(file.tracks[0].events.empty());
}

TEST(MidiFileErrors, MalformedFilesAreRefusedWithAReason) {
  std::vector<uint8_t> truncated = WithHeader(0, 1, 96, Chunk("MTrk", kTrack));
  truncated.resize(truncated.size() - 10);
  EXPECT_NE(ErrorFor(truncated).find("truncated chunk"), std::string::npos);

  EXPECT_NE(ErrorFor(WithHeader(0, 1, 96, Chunk("MTrk", {0x81, 0x82, 0x83, 0x84, 0x05, 0x90, 0x3C, 0x64})))
                .find("variable-length"),
            std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 96, Chunk("MTrk", {0x00, 0x3C, 0x64}))).find("running status"),
            std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 96, Chunk("MTrk", {0x00, 0x90, 0x3C, 0x90}))).find("data byte"),
            std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 96, Chunk("MTrk", {0x00, 0xFF, 0x03, 0x09, 'a'}))).find("truncated meta"),
            std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 96, Chunk("MTrk", {0x00, 0xF0, 0x05, 0x01}))).find("system exclusive"),
            std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 96, Chunk("MTrk", {0x00, 0xF8}))).find("not allowed"), std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(1, 3, 96, Chunk("MTrk", kTrack))).find("1 of 3 tracks"), std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(2, 1, 96, Chunk("MTrk", kTrack))).find("format 2"), std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 2, 96, Chunk("MTrk", kTrack))).find("format 0"), std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 0xE728, Chunk("MTrk", kTrack))).find("SMPTE"), std::string::npos);
  EXPECT_NE(ErrorFor(WithHeader(0, 1, 0, Chunk("MTrk", kTrack))).find("division"), std::string::npos);
  EXPECT_NE(ErrorFor({'R', 'I', 'F', 'F', 0, 0}).find("MThd"), std::string::npos);
  EXPECT_NE(ErrorFor({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0}).find("header"), std::string::npos);
  EXPECT_NE(ErrorFor({}).find("MThd"), std::string::npos);
}

TEST(MidiFileErrors, EveryTruncationOfAValidFileIsRefusedOrReadSafely) {
  const std::vector<uint8_t> whole = WithHeader(0, 1, 96, Chunk("MTrk", kTrack));
  for (size_t n = 0; n < whole.size(); ++n) {
    MidiFile file;
    std::string error;
    EXPECT_FALSE(ReadMidiFile(std::vector<uint8_t>(whole.begin(), whole.begin() + long(n)), &file, &error))
        << "cut at " << n;
  }
}

TEST(MidiFileErrors, RandomCorruptionsAreReadOrRefusedSafely) {
  MidiFile file;
  MidiTrack track;
  track.events = {TempoEvent(0, 100), MidiEvent::SysEx(0, 0xF0, {1, 2, 0xF7}), MidiEvent::Channel(5, 0x90, 60, 9),
                  MidiEvent::Channel(9, 0x90, 62, 9), MidiEvent::Meta(9, 0x01, {'a', 'b'}), MidiEvent::Channel(300, 0x80, 60, 0)};
  file.tracks = {track, track};
  const std::vector<uint8_t> original = WriteMidiFile(file);
  uint32_t seed = 1;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = original;
    for (uint32_t flips = 1 + next() % 4; flips > 0; --flips) bytes[next() % bytes.size()] = uint8_t(next());
    MidiFile out;
    std::string error;
    if (!ReadMidiFile(bytes, &out, &error)) {
      ++refused;
      EXPECT_FALSE(error.empty());
    } else {
      for (const MidiTrack& t : out.tracks) {
        for (const MidiEvent& e : t.events) {
          if (e.kind == MidiEventKind::kChannel) {
            EXPECT_LT(e.data1, 0x80);
          }
        }
      }
    }
  }
  EXPECT_GT(refused, 100);
}

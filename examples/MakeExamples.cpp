// Writes the example MIDI files of the demo: a melody, a chord progression and a bass line.
#include <cstdio>
#include <string>
#include <vector>

#include "MidiFile.h"
#include "MidiFileWriter.h"

using namespace cchost;

namespace {
constexpr int kDivision = 480;
constexpr uint32_t kBeat = kDivision;

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

void Note(MidiTrack* t, uint32_t start, uint32_t length, int note, int velocity, int channel = 0) {
  t->events.push_back(MidiEvent::Channel(start, uint8_t(0x90 | channel), uint8_t(note), uint8_t(velocity)));
  // Note-on with velocity 0 as the note-off, as many keyboards send it.
  t->events.push_back(MidiEvent::Channel(start + length, uint8_t(0x90 | channel), uint8_t(note), 0));
}

MidiEvent TimeSignature(uint32_t tick, int numerator, int denominatorPower) {
  return MidiEvent::Meta(tick, 0x58, {uint8_t(numerator), uint8_t(denominatorPower), 24, 8});
}

bool Save(const std::string& path, const MidiFile& file) {
  const std::vector<uint8_t> bytes = WriteMidiFile(file);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// Format 0: a folk tune in C major, quarter notes at 120 bpm, eight bars.
MidiFile Melody() {
  MidiFile file;
  file.format = 0;
  file.division = kDivision;
  MidiTrack t;
  t.events.push_back(MidiEvent::Meta(0, 0x03, Text("Melody")));
  t.events.push_back(TimeSignature(0, 4, 2));
  t.events.push_back(MidiEvent::Meta(0, 0x59, {0, 0}));  // C major
  t.events.push_back(TempoEvent(0, 120.0));
  const int tune[] = {64, 64, 65, 67, 67, 65, 64, 62, 60, 60, 62, 64, 64, 62, 62, 0,
                      64, 64, 65, 67, 67, 65, 64, 62, 60, 60, 62, 64, 62, 60, 60, 0};
  uint32_t tick = 0;
  for (size_t i = 0; i < sizeof(tune) / sizeof(tune[0]); ++i, tick += kBeat) {
    if (tune[i] == 0) continue;
    // The dotted quarter before each bar-end pause is held longer.
    const bool held = i + 1 < sizeof(tune) / sizeof(tune[0]) && tune[i + 1] == 0;
    Note(&t, tick, held ? kBeat * 3 / 2 : kBeat * 7 / 8, tune[i], i % 4 == 0 ? 100 : 84);
  }
  t.endTick = tick;
  file.tracks.push_back(t);
  return file;
}

// Format 1: tempo track plus a chord track (I-vi-IV-V twice) that also carries a GM reset
// (system exclusive), a program change and sustain pedal controllers.
MidiFile Chords() {
  MidiFile file;
  file.format = 1;
  file.division = kDivision;
  MidiTrack conductor;
  conductor.events.push_back(MidiEvent::Meta(0, 0x03, Text("Chords")));
  conductor.events.push_back(TimeSignature(0, 4, 2));
  conductor.events.push_back(TempoEvent(0, 96.0));
  MidiTrack t;
  t.events.push_back(MidiEvent::Meta(0, 0x03, Text("Piano")));
  t.events.push_back(MidiEvent::SysEx(0, 0xF0, {0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  t.events.push_back(MidiEvent::Channel(0, 0xC0, 0));
  const int chords[4][3] = {{48, 55, 64}, {45, 52, 60}, {41, 48, 57}, {43, 50, 59}};
  uint32_t tick = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& chord : chords) {
      // Two half-note strikes per bar, the second one softer.
      for (int half = 0; half < 2; ++half) {
        const uint32_t start = tick + uint32_t(half) * 2 * kBeat;
        for (int n : chord) Note(&t, start, 2 * kBeat - 60, n, half == 0 ? 96 : 76);
      }
      t.events.push_back(MidiEvent::Channel(tick, 0xB0, 64, 127));
      t.events.push_back(MidiEvent::Channel(tick + 4 * kBeat - 30, 0xB0, 64, 0));
      tick += 4 * kBeat;
    }
  }
  t.endTick = conductor.endTick = tick;
  file.tracks.push_back(conductor);
  file.tracks.push_back(t);
  return file;
}

// Format 1: an eighth-note bass line whose tempo rises from 100 to 120 bpm at bar 3, with a
// marker track; a pitch-bend slide at the end.
MidiFile Bass() {
  MidiFile file;
  file.format = 1;
  file.division = kDivision;
  MidiTrack conductor;
  conductor.events.push_back(MidiEvent::Meta(0, 0x03, Text("Bass line")));
  conductor.events.push_back(TimeSignature(0, 4, 2));
  conductor.events.push_back(TempoEvent(0, 100.0));
  conductor.events.push_back(TempoEvent(8 * kBeat, 120.0));
  MidiTrack markers;
  markers.events.push_back(MidiEvent::Meta(0, 0x06, Text("Verse")));
  markers.events.push_back(MidiEvent::Meta(8 * kBeat, 0x06, Text("Faster")));
  MidiTrack t;
  t.events.push_back(MidiEvent::Meta(0, 0x03, Text("Bass")));
  const int line[] = {36, 36, 48, 36, 43, 36, 46, 48, 41, 41, 53, 41, 48, 41, 51, 53,
                      43, 43, 55, 43, 50, 43, 53, 55, 36, 36, 48, 36, 43, 46, 47, 48};
  uint32_t tick = 0;
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < sizeof(line) / sizeof(line[0]); ++i, tick += kBeat / 2)
      Note(&t, tick, kBeat / 2 - 40, line[i], i % 2 == 0 ? 104 : 80);
  // A short upward bend on the last note, and back.
  for (int step = 0; step <= 8; ++step) {
    const int value = 8192 + step * 512 - (step == 8 ? 1 : 0);
    t.events.push_back(MidiEvent::Channel(tick - kBeat / 2 + uint32_t(step) * 20, 0xE0, uint8_t(value & 0x7F),
                                          uint8_t(value >> 7)));
  }
  t.events.push_back(MidiEvent::Channel(tick, 0xE0, 0x00, 0x40));
  t.endTick = conductor.endTick = markers.endTick = tick;
  file.tracks.push_back(conductor);
  file.tracks.push_back(markers);
  file.tracks.push_back(t);
  return file;
}
}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const bool ok = Save(folder + "/melody.mid", Melody()) && Save(folder + "/chords.mid", Chords()) &&
                  Save(folder + "/bass.mid", Bass());
  if (!ok) std::fprintf(stderr, "make-examples: cannot write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}

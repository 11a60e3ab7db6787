// Small helpers of the MIDI file model.
#include "MidiFile.h"

#include <algorithm>
#include <cmath>

namespace cchost {

MidiEvent MidiEvent::Channel(uint32_t tick, uint8_t status, uint8_t data1, uint8_t data2) {
  MidiEvent e;
  e.tick = tick;
  e.kind = MidiEventKind::kChannel;
  e.status = status;
  e.data1 = data1;
  e.data2 = ChannelDataLength(status) == 2 ? data2 : 0;
  return e;
}

MidiEvent MidiEvent::SysEx(uint32_t tick, uint8_t status, std::vector<uint8_t> bytes) {
  MidiEvent e;
  e.tick = tick;
  e.kind = MidiEventKind::kSysEx;
  e.status = status;
  e.bytes = std::move(bytes);
  return e;
}

MidiEvent MidiEvent::Meta(uint32_t tick, uint8_t type, std::vector<uint8_t> bytes) {
  MidiEvent e;
  e.tick = tick;
  e.kind = MidiEventKind::kMeta;
  e.status = 0xFF;
  e.metaType = type;
  e.bytes = std::move(bytes);
  return e;
}

bool MidiEvent::operator==(const MidiEvent& o) const {
  return tick == o.tick && kind == o.kind && status == o.status && data1 == o.data1 && data2 == o.data2 &&
         metaType == o.metaType && bytes == o.bytes;
}

int ChannelDataLength(uint8_t status) {
  const int kind = status >> 4;
  return (kind == 0xC || kind == 0xD) ? 1 : 2;
}

std::vector<MidiEvent> MidiFile::Merged() const {
  std::vector<MidiEvent> all;
  for (const MidiTrack& track : tracks) all.insert(all.end(), track.events.begin(), track.events.end());
  // Tracks are appended in order and stable_sort keeps that order within a tick.
  std::stable_sort(all.begin(), all.end(), [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
  return all;
}

uint32_t MidiFile::LastTick() const {
  uint32_t last = 0;
  for (const MidiTrack& track : tracks)
    for (const MidiEvent& e : track.events) last = std::max(last, e.tick);
  return last;
}

std::string NoteName(int note) {
  static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  if (note < 0 || note > 127) return "?";
  return std::string(kNames[note % 12]) + std::to_string(note / 12 - 1);
}

uint32_t MicrosecondsPerQuarter(const MidiEvent& tempo) {
  return (uint32_t(tempo.bytes[0]) << 16) | (uint32_t(tempo.bytes[1]) << 8) | tempo.bytes[2];
}

MidiEvent TempoEvent(uint32_t tick, double bpm) {
  const uint32_t us = static_cast<uint32_t>(std::clamp(std::lround(60000000.0 / bpm), 1L, 0xFFFFFFL));
  return MidiEvent::Meta(tick, 0x51, {uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

}  // namespace cchost

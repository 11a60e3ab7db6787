// The Standard MIDI File model shared by the reader, the writer, the renderer and the plot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cchost {

enum class MidiEventKind : uint8_t { kChannel, kSysEx, kMeta };

struct MidiEvent {
  uint32_t tick = 0;  // absolute, in the file's ticks per quarter note
  MidiEventKind kind = MidiEventKind::kChannel;
  uint8_t status = 0;  // channel status byte; 0xF0 or 0xF7 for system exclusive; 0xFF for meta
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  uint8_t metaType = 0;
  std::vector<uint8_t> bytes;  // payload of system exclusive and meta events, as stored after the length

  static MidiEvent Channel(uint32_t tick, uint8_t status, uint8_t data1, uint8_t data2 = 0);
  static MidiEvent SysEx(uint32_t tick, uint8_t status, std::vector<uint8_t> bytes);
  static MidiEvent Meta(uint32_t tick, uint8_t type, std::vector<uint8_t> bytes);

  int ChannelNumber() const { return status & 0x0F; }  // 0..15
  int StatusKind() const { return kind == MidiEventKind::kChannel ? status >> 4 : 0; }
  bool IsNoteOn() const { return StatusKind() == 0x9 && data2 > 0; }
  bool IsNoteOff() const { return StatusKind() == 0x8 || (StatusKind() == 0x9 && data2 == 0); }
  bool IsTempo() const { return kind == MidiEventKind::kMeta && metaType == 0x51 && bytes.size() == 3; }
  bool IsTimeSignature() const { return kind == MidiEventKind::kMeta && metaType == 0x58 && bytes.size() >= 2; }

  bool operator==(const MidiEvent& other) const;
  bool operator!=(const MidiEvent& other) const { return !(*this == other); }
};

// Data bytes that follow a channel status byte: 1 for program change and channel pressure, else 2.
int ChannelDataLength(uint8_t status);

struct MidiTrack {
  std::vector<MidiEvent> events;  // in file order; the end-of-track meta is not kept here
  uint32_t endTick = 0;           // tick of the end-of-track event
};

struct MidiFile {
  int format = 1;
  int division = 480;  // ticks per quarter note
  std::vector<MidiTrack> tracks;

  // Every event of every track, ordered by tick; equal ticks keep track order, then file order.
  std::vector<MidiEvent> Merged() const;
  uint32_t LastTick() const;
};

std::string NoteName(int note);  // "C4" is note 60
uint32_t MicrosecondsPerQuarter(const MidiEvent& tempo);
MidiEvent TempoEvent(uint32_t tick, double bpm);

}  // namespace cchost

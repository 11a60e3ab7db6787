// Writes the MidiFile model as a Standard MIDI File.
#pragma once

#include <cstdint>
#include <vector>

#include "MidiFile.h"

namespace cchost {

// Events of each track are written in tick order (stable), with running status for channel
// messages, and an end-of-track event at the later of the last event and the track's endTick.
std::vector<uint8_t> WriteMidiFile(const MidiFile& file);

// Encodes one track event by event, for output too long to hold as MidiEvent records. Events must come in tick
// order; Finish appends the end of the track at the later of the last event and endTick.
class TrackWriter {
 public:
  void Add(const MidiEvent& e);
  std::vector<uint8_t> Finish(uint32_t endTick);

 private:
  std::vector<uint8_t> mOut;
  uint32_t mNow = 0;
  uint8_t mRunning = 0;
};

// A file from tracks already encoded by TrackWriter.
std::vector<uint8_t> WriteMidiFile(int format, int division, const std::vector<std::vector<uint8_t>>& tracks);

}  // namespace cchost

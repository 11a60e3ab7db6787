// Pairs note-ons with their note-offs: note spans for the picture, hanging notes for the check.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "MidiFile.h"

namespace cchost {

struct NoteSpan {
  int channel = 0;  // 0..15
  int note = 0;
  int velocity = 0;
  uint32_t startTick = 0;
  uint32_t endTick = 0;  // for a hanging note: the tick of the last event
  bool hanging = false;
};

struct NoteReport {
  std::vector<NoteSpan> spans;    // every note-on, in order, hanging ones included
  std::vector<NoteSpan> hanging;  // note-ons never followed by their note-off
  int strayNoteOffs = 0;          // note-offs with no sounding note to end
};

// Events must be in time order. A note-off ends the earliest sounding note of its key and
// channel; a second note-on of a sounding key starts a second note that needs its own note-off.
NoteReport PairNotes(const std::vector<MidiEvent>& events);

struct EventCounts {
  std::array<int, 16> perChannel = {};
  int sysex = 0;
  int meta = 0;
  int notes = 0;  // note-ons
};
EventCounts CountEvents(const std::vector<MidiEvent>& events);

}  // namespace cchost

// Pairs note-ons with their note-offs: note spans for the picture, hanging notes for the check.
#pragma once

#include <array>
#include <cstddef>
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

// The same, event by event, for output too long to keep; without keepSpans the report holds only the hanging
// notes, and memory grows with the notes sounding at once rather than with the length.
class NotePairer {
 public:
  explicit NotePairer(bool keepSpans);
  void Add(const MidiEvent& e);
  NoteReport Finish();

 private:
  struct Open {
    NoteSpan span;
    size_t order;  // note-on number, which is also the index into spans when they are kept
  };
  bool mKeep;
  std::vector<std::vector<Open>> mSounding;  // per channel and key, oldest first
  NoteReport mReport;
  size_t mNoteOns = 0;
  uint32_t mLastTick = 0;
};

struct EventCounts {
  std::array<int, 16> perChannel = {};
  int sysex = 0;
  int meta = 0;
  int notes = 0;  // note-ons
};
EventCounts CountEvents(const std::vector<MidiEvent>& events);
void CountEvent(const MidiEvent& e, EventCounts* counts);

}  // namespace cchost

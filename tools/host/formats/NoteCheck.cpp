// Note pairing and event counting.
#include "NoteCheck.h"

#include <deque>

namespace cchost {

NoteReport PairNotes(const std::vector<MidiEvent>& events) {
  NoteReport report;
  std::vector<std::deque<size_t>> sounding(16 * 128);  // indices into spans, oldest first
  uint32_t lastTick = 0;
  for (const MidiEvent& e : events) {
    lastTick = std::max(lastTick, e.tick);
    if (e.kind != MidiEventKind::kChannel || e.data1 > 127) continue;
    std::deque<size_t>& key = sounding[size_t(e.ChannelNumber() * 128 + e.data1)];
    if (e.IsNoteOn()) {
      NoteSpan span;
      span.channel = e.ChannelNumber();
      span.note = e.data1;
      span.velocity = e.data2;
      span.startTick = e.tick;
      key.push_back(report.spans.size());
      report.spans.push_back(span);
    } else if (e.IsNoteOff()) {
      if (key.empty()) {
        ++report.strayNoteOffs;
        continue;
      }
      report.spans[key.front()].endTick = e.tick;
      key.pop_front();
    }
  }
  for (const std::deque<size_t>& key : sounding) {
    for (size_t index : key) {
      NoteSpan& span = report.spans[index];
      span.hanging = true;
      span.endTick = lastTick;
    }
  }
  for (const NoteSpan& span : report.spans)
    if (span.hanging) report.hanging.push_back(span);
  return report;
}

EventCounts CountEvents(const std::vector<MidiEvent>& events) {
  EventCounts counts;
  for (const MidiEvent& e : events) {
    switch (e.kind) {
      case MidiEventKind::kChannel:
        ++counts.perChannel[size_t(e.ChannelNumber())];
        if (e.IsNoteOn()) ++counts.notes;
        break;
      case MidiEventKind::kSysEx:
        ++counts.sysex;
        break;
      case MidiEventKind::kMeta:
        ++counts.meta;
        break;
    }
  }
  return counts;
}

}  // namespace cchost

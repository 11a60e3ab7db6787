// Note pairing and event counting.
#include "NoteCheck.h"

#include <algorithm>

namespace cchost {

NoteReport PairNotes(const std::vector<MidiEvent>& events) {
  NotePairer pairer(true);
  for (const MidiEvent& e : events) pairer.Add(e);
  return pairer.Finish();
}

NotePairer::NotePairer(bool keepSpans) : mKeep(keepSpans), mSounding(16 * 128) {}

void NotePairer::Add(const MidiEvent& e) {
  mLastTick = std::max(mLastTick, e.tick);
  if (e.kind != MidiEventKind::kChannel || e.data1 > 127) return;
  std::vector<Open>& key = mSounding[size_t(e.ChannelNumber() * 128 + e.data1)];
  if (e.IsNoteOn()) {
    NoteSpan span;
    span.channel = e.ChannelNumber();
    span.note = e.data1;
    span.velocity = e.data2;
    span.startTick = e.tick;
    key.push_back({span, mNoteOns++});
    if (mKeep) mReport.spans.push_back(span);
  } else if (e.IsNoteOff()) {
    if (key.empty()) {
      ++mReport.strayNoteOffs;
      return;
    }
    // Few notes of one key sound at once, so taking the oldest from the front stays cheap.
    if (mKeep) mReport.spans[key.front().order].endTick = e.tick;
    key.erase(key.begin());
  }
}

NoteReport NotePairer::Finish() {
  std::vector<Open> hanging;
  for (std::vector<Open>& key : mSounding) {
    hanging.insert(hanging.end(), key.begin(), key.end());
    key.clear();
  }
  std::sort(hanging.begin(), hanging.end(), [](const Open& a, const Open& b) { return a.order < b.order; });
  for (Open& open : hanging) {
    open.span.hanging = true;
    open.span.endTick = mLastTick;
    if (mKeep) mReport.spans[open.order] = open.span;
    mReport.hanging.push_back(open.span);
  }
  NoteReport report = std::move(mReport);
  mReport = NoteReport();
  return report;
}

void CountEvent(const MidiEvent& e, EventCounts* counts) {
  switch (e.kind) {
    case MidiEventKind::kChannel:
      ++counts->perChannel[size_t(e.ChannelNumber())];
      if (e.IsNoteOn()) ++counts->notes;
      break;
    case MidiEventKind::kSysEx:
      ++counts->sysex;
      break;
    case MidiEventKind::kMeta:
      ++counts->meta;
      break;
  }
}

EventCounts CountEvents(const std::vector<MidiEvent>& events) {
  EventCounts counts;
  for (const MidiEvent& e : events) CountEvent(e, &counts);
  return counts;
}

}  // namespace cchost

// Building the output MIDI file.
#include "OutputMidi.h"

#include <algorithm>
#include <cmath>

namespace cchost {

uint32_t FrameToTick(const TempoMap& map, double sampleRate, int64_t frame) {
  if (frame <= 0) return 0;
  const double tick = std::floor(map.SecondsToTick(double(frame) / sampleRate) + 0.5);
  return tick >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(tick);
}

MidiEvent ToMidiEvent(const ReceivedEvents& received, const ReceivedEvent& e, uint32_t tick) {
  const uint8_t* b = received.Data(e);
  const size_t size = received.Size(e);
  if (e.IsSysEx()) {
    if (b[0] == 0xF0) return MidiEvent::SysEx(tick, 0xF0, std::vector<uint8_t>(b + 1, b + size));
    return MidiEvent::SysEx(tick, 0xF7, std::vector<uint8_t>(b, b + size));  // raw bytes travel as an escape
  }
  if (b[0] < 0xF0) return MidiEvent::Channel(tick, b[0], size > 1 ? b[1] : 0, size > 2 ? b[2] : 0);
  return MidiEvent::SysEx(tick, 0xF7, std::vector<uint8_t>(b, b + size));  // system common and real-time messages
}

OutputTrack::OutputTrack(const TempoMap& map, double sampleRate, const std::string& trackName, bool keepSpans)
    : mMap(map), mRate(sampleRate), mPairer(keepSpans) {
  mWriter.Add(MidiEvent::Meta(0, 0x03, std::vector<uint8_t>(trackName.begin(), trackName.end())));
}

void OutputTrack::Take(const ReceivedEvents& received, size_t first) {
  for (size_t i = first; i < received.events.size(); ++i) {
    const ReceivedEvent& e = received.events[i];
    const MidiEvent event = ToMidiEvent(received, e, FrameToTick(mMap, mRate, e.frame));
    mLastTick = std::max(mLastTick, event.tick);
    mWriter.Add(event);
    mPairer.Add(event);
    CountEvent(event, &mCounts);
  }
}

std::vector<uint8_t> OutputTrack::FileBytes(int64_t stopFrame) {
  const uint32_t endTick = FrameToTick(mMap, mRate, stopFrame);
  TrackWriter conductor;
  for (const MidiEvent& e : mMap.ConductorEvents()) conductor.Add(e);
  return WriteMidiFile(1, mMap.Division(), {conductor.Finish(endTick), mWriter.Finish(endTick)});
}

std::vector<uint8_t> WriteOutputFile(const TempoMap& map, double sampleRate, const RenderResult& result,
                                     const std::string& trackName) {
  OutputTrack track(map, sampleRate, trackName, false);
  track.Take(result.output, 0);
  return track.FileBytes(result.stopFrame);
}

}  // namespace cchost

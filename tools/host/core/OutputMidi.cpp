// Building the output MIDI file.
#include "OutputMidi.h"

#include <cmath>

namespace cchost {

uint32_t FrameToTick(const TempoMap& map, double sampleRate, int64_t frame) {
  if (frame <= 0) return 0;
  const double tick = std::floor(map.SecondsToTick(double(frame) / sampleRate) + 0.5);
  return tick >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(tick);
}

MidiEvent ToMidiEvent(const ReceivedEvent& received, uint32_t tick) {
  const std::vector<uint8_t>& b = received.bytes;
  if (received.sysex) {
    if (!b.empty() && b[0] == 0xF0) return MidiEvent::SysEx(tick, 0xF0, std::vector<uint8_t>(b.begin() + 1, b.end()));
    return MidiEvent::SysEx(tick, 0xF7, b);  // raw bytes travel as an escape
  }
  if (b[0] < 0xF0) return MidiEvent::Channel(tick, b[0], b.size() > 1 ? b[1] : 0, b.size() > 2 ? b[2] : 0);
  return MidiEvent::SysEx(tick, 0xF7, b);  // system common and real-time messages
}

MidiFile MakeOutputFile(const TempoMap& map, double sampleRate, const RenderResult& result,
                        const std::string& trackName) {
  MidiFile file;
  file.format = 1;
  file.division = map.Division();
  const uint32_t endTick = FrameToTick(map, sampleRate, result.stopFrame);
  MidiTrack conductor;
  conductor.events = map.ConductorEvents();
  conductor.endTick = endTick;
  MidiTrack track;
  track.events.push_back(MidiEvent::Meta(0, 0x03, std::vector<uint8_t>(trackName.begin(), trackName.end())));
  for (const ReceivedEvent& e : result.output)
    track.events.push_back(ToMidiEvent(e, FrameToTick(map, sampleRate, e.frame)));
  track.endTick = endTick;
  file.tracks.push_back(std::move(conductor));
  file.tracks.push_back(std::move(track));
  return file;
}

}  // namespace cchost

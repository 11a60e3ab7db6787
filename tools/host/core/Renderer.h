// Plays a MIDI file through a MIDI plug-in block by block and records what the plug-in sends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "HostCallback.h"
#include "MidiFile.h"
#include "PluginLoader.h"
#include "TempoMap.h"

namespace cchost {

struct RenderSettings {
  double sampleRate = 44100.0;
  int blockSize = 512;
  // The transport keeps running until this many beats have passed without any event in or out.
  double tailBeats = 8.0;
  // Beats the transport runs before the song's first tick, so that a plug-in sees the transport
  // already moving when the first events arrive.
  double prerollBeats = 1.0;
};

struct RenderResult {
  std::vector<ReceivedEvent> output;  // in frame order; frames on the song's time line
  int64_t stopFrame = 0;              // where the transport stopped
  int64_t prerollFrames = 0;
  int64_t blocks = 0;
  bool stoppedAtLimit = false;  // the plug-in was still sending when the tail limit was reached
  int eventsOutsideBlock = 0;
  int eventsOutsideProcessing = 0;
  int malformedEvents = 0;
};

// Events the plug-in receives: channel and system exclusive events of every track, with frames.
struct TimedInput {
  int64_t frame;
  const MidiEvent* event;
};

bool Render(Plugin& plugin, Host& host, const MidiFile& input, const TempoMap& map, const RenderSettings& settings,
            RenderResult* result, std::string* error);

}  // namespace cchost

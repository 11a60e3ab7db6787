// Plays a MIDI file through a MIDI plug-in block by block and records what the plug-in sends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "HostCallback.h"
#include "MidiFile.h"
#include "PluginLoader.h"
#include "RenderTarget.h"
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

// Takes what the plug-in sends, block by block, while the render runs.
class RenderSink {
 public:
  virtual ~RenderSink() = default;
  // received.events from first on are new, in frame order, none before any event given earlier.
  virtual void Take(const ReceivedEvents& received, size_t first) = 0;
};

// Called now and then with the share of the song rendered so far, 0 to 1.
using RenderProgress = std::function<void(double done)>;

struct RenderResult {
  ReceivedEvents output;  // in frame order, frames on the song's time line; empty when a sink took them
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

// With a sink, the events go to the sink as they come and are not kept in the result.
bool Render(RenderTarget& target, const MidiFile& input, const TempoMap& map, const RenderSettings& settings,
            RenderResult* result, std::string* error, RenderSink* sink = nullptr,
            const RenderProgress& progress = nullptr);
// A VST 2.4 plug-in through its host callback.
bool Render(Plugin& plugin, Host& host, const MidiFile& input, const TempoMap& map, const RenderSettings& settings,
            RenderResult* result, std::string* error, RenderSink* sink = nullptr,
            const RenderProgress& progress = nullptr);

}  // namespace cchost

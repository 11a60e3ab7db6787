// Plays recorded MIDI into an instrument plug-in and collects its audio.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "HostCallback.h"
#include "PluginLoader.h"
#include "TempoMap.h"

namespace cchost {

struct SynthAudio {
  int channels = 0;
  std::vector<float> samples;  // interleaved
  int64_t frames = 0;
};

// Renders from song frame 0 to at least endFrame, then on until the instrument falls silent
// (at most releaseLimitSeconds more). Events before frame 0 are played at frame 0. progress hears the share
// of endFrame done.
bool RenderSynth(Plugin& synth, Host& host, const ReceivedEvents& received, const TempoMap& map,
                 double sampleRate, int blockSize, int64_t endFrame, double releaseLimitSeconds, SynthAudio* out,
                 std::string* error, const std::function<void(double done)>& progress = nullptr);

}  // namespace cchost

// Renders ten minutes of dense MIDI (about 20 notes per second) and reports the real-time
// factor: seconds of music per second of wall time. The pass-through test plug-in is the floor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "MidiFileWriter.h"
#include "OutputMidi.h"
#include "ParameterText.h"
#include "Renderer.h"

using namespace cchost;

namespace {

constexpr double kMinutes = 10.0;
constexpr double kBpm = 120.0;

MidiFile DenseFile() {
  MidiFile file;
  file.format = 1;
  file.division = 480;
  MidiTrack conductor;
  conductor.events.push_back(TempoEvent(0, kBpm));
  MidiTrack track;
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  // Ten notes per beat at 120 bpm is twenty per second: a chord of three every beat, and a
  // melody of seven shorter notes in between.
  const uint32_t beats = static_cast<uint32_t>(kMinutes * kBpm);
  for (uint32_t beat = 0; beat < beats; ++beat) {
    const uint32_t start = beat * 480;
    const int root = 48 + int(next(12));
    for (int n : {root, root + 4, root + 7}) {
      track.events.push_back(MidiEvent::Channel(start, 0x90, uint8_t(n), 90));
      track.events.push_back(MidiEvent::Channel(start + 400, 0x80, uint8_t(n), 0));
    }
    for (uint32_t i = 0; i < 7; ++i) {
      const uint32_t t = start + i * 480 / 7 + next(20);
      const uint8_t note = uint8_t(60 + next(24));
      track.events.push_back(MidiEvent::Channel(t, 0x90, note, uint8_t(60 + next(60))));
      track.events.push_back(MidiEvent::Channel(t + 30 + next(120), 0x80, note, 0));
    }
  }
  file.tracks = {conductor, track};
  return file;
}

void Configure(const Plugin& plugin) {
  // Every voice busy: intervals, rotation, delays and snapping.
  const char* const settings[][2] = {{"ParInt", "7"},   {"pDelay", "1/8"},   {"ParChan", "2"},  {"v1Int1", "3"},
                                     {"v1Int2", "-4"},  {"v1Int3", "12"},    {"v1Delay", "1/4"}, {"v1Chan", "3"},
                                     {"v2Int1", "-12"}, {"v2algo", "ZigZag"}, {"v2Delay", "1/2"}, {"v2Chan", "4"},
                                     {"Snap", "on"},    {"Scale", "Penta"}};
  for (const auto& s : settings) {
    std::string error;
    const int index = FindParameter(plugin, s[0], &error);
    if (index >= 0) SetParameterByDisplay(plugin, index, s[1], &error);
  }
}

void RenderThrough(benchmark::State& state, const std::string& module, bool configure) {
  const MidiFile input = DenseFile();
  const TempoMap map(input);
  RenderSettings settings;
  settings.blockSize = static_cast<int>(state.range(0));
  double audioSeconds = 0.0;
  size_t outputEvents = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Host host(settings.sampleRate, settings.blockSize);
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::Load(std::string(CYCLOCHORD_MODULE_DIR) + "/" + module, &host, &error);
    if (!plugin) {
      state.SkipWithError(error.c_str());
      return;
    }
    if (configure) Configure(*plugin);
    state.ResumeTiming();
    RenderResult result;
    Render(*plugin, host, input, map, settings, &result, &error);
    const std::vector<uint8_t> bytes = WriteMidiFile(MakeOutputFile(map, settings.sampleRate, result, "bench"));
    benchmark::DoNotOptimize(bytes.data());
    audioSeconds += double(result.stopFrame + result.prerollFrames) / settings.sampleRate;
    outputEvents = result.output.size();
  }
  // Seconds of music rendered per second of wall time.
  state.counters["realtime_factor"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
  state.counters["output_events"] = double(outputEvents);
}

void BM_RenderPassThroughFloor(benchmark::State& state) { RenderThrough(state, "TestPlugin.so", false); }
void BM_RenderCyclochord(benchmark::State& state) { RenderThrough(state, "Cyclochord.so", true); }

}  // namespace

BENCHMARK(BM_RenderPassThroughFloor)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderCyclochord)->Arg(64)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond)->UseRealTime();

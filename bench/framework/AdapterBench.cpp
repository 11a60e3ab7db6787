// Cost of one block through the VST wrapper (a pass-through plug-in: 512 stereo frames, MIDI events handed back)
// against the minimal C pass-through doing the same audio and MIDI work through the same host loop.
#include <benchmark/benchmark.h>

#include <string>
#include <type_traits>

#include "FloorRatio.h"
#include "MinimalPlugin.h"
#include "TestHost.h"
#include "TestPlugin.h"

namespace {
constexpr int kFrames = 512;
constexpr int kEvents = 16;

struct EventList {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[kEvents];
};

// state.range(0) events per block, all forwarded by either plug-in.
template <typename Sample>
void Block(benchmark::State& state, bool floor) {
  TestHost host(TestHost::Mode::kCounting);
  if (floor) {
    host.LoadEntry(VSTPluginMain);
  } else {
    AEffect* effect = host.Load(TestPlugin::Create);
    static_cast<TestPlugin*>(VstPluginOf(effect))->mLogCalls = false;
  }
  host.Start(44100.0, kFrames);
  host.SetPlaying(true);
  VstMidiEvent midi[kEvents] = {};
  EventList list = {static_cast<VstInt32>(state.range(0)), 0, {}};
  for (int i = 0; i < kEvents; ++i) {
    midi[i].type = kVstMidiType;
    midi[i].byteSize = sizeof(VstMidiEvent);
    midi[i].deltaFrames = i * 32;
    midi[i].midiData[0] = static_cast<char>(i % 2 ? 0x80 : 0x90);
    midi[i].midiData[1] = static_cast<char>(48 + i);
    midi[i].midiData[2] = 100;
    list.events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
  }
  const std::size_t before = host.mEventsReceived;
  for (auto _ : state) {
    if (list.numEvents > 0) host.SendEvents(reinterpret_cast<VstEvents*>(&list));
    if constexpr (std::is_same_v<Sample, float>)
      host.Process(kFrames);
    else
      host.ProcessDouble(kFrames);
  }
  state.counters["out/block"] =
      static_cast<double>(host.mEventsReceived - before) / static_cast<double>(state.iterations());
}
void BM_FloorFloat(benchmark::State& state) { Block<float>(state, true); }
void BM_AdapterFloat(benchmark::State& state) { Block<float>(state, false); }
void BM_FloorDouble(benchmark::State& state) { Block<double>(state, true); }
void BM_AdapterDouble(benchmark::State& state) { Block<double>(state, false); }
BENCHMARK(BM_FloorFloat)->Arg(kEvents)->Arg(0)->Apply(FloorRepetitions);
BENCHMARK(BM_AdapterFloat)->Arg(kEvents)->Arg(0)->Apply(FloorRepetitions);
BENCHMARK(BM_FloorDouble)->Arg(kEvents)->Arg(0)->Apply(FloorRepetitions);
BENCHMARK(BM_AdapterDouble)->Arg(kEvents)->Arg(0)->Apply(FloorRepetitions);
}  // namespace

int main(int argc, char** argv) {
  std::vector<FloorComparison> comparisons;
  for (const char* sample : {"Float", "Double"}) {
    for (const char* events : {"16", "0"}) {
      const std::string ours = std::string("BM_Adapter") + sample + "/" + events;
      const std::string floor = std::string("BM_Floor") + sample + "/" + events;
      comparisons.push_back({ours, floor, std::string("wrapper, ") + sample + ", 512 frames, " + events + " events"});
    }
  }
  return RunWithFloorRatios(argc, argv, comparisons);
}

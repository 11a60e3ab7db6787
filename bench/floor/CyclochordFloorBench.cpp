// Cyclochord against the minimal C pass-through, both through the same host loop: an empty block, and a block of
// note events where the floor forwards as many events as Cyclochord emits.
#include <benchmark/benchmark.h>

#include <vector>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "FloorRatio.h"
#include "MinimalPlugin.h"
#include "TestHost.h"
#include "VstEntry.h"

namespace {
constexpr int kFrames = 512;
constexpr int kEventsPerBlock = 16;  // eight note-ons, eight note-offs
constexpr int kBlocksPerPattern = 64;
constexpr int kMaxOut = 1024;

template <int N>
struct EventList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[N] = {};
  VstEvents* Get() { return reinterpret_cast<VstEvents*>(this); }
};

VstMidiEvent Note(bool on, int key, int offset) {
  VstMidiEvent e = {};
  e.type = kVstMidiType;
  e.byteSize = sizeof(VstMidiEvent);
  e.deltaFrames = offset;
  e.midiData[0] = static_cast<char>(on ? 0x90 : 0x80);
  e.midiData[1] = static_cast<char>(key);
  e.midiData[2] = on ? 100 : 0;
  return e;
}

// Each block strikes eight keys and releases the eight struck two blocks before.
struct NoteStream {
  VstMidiEvent midi[kBlocksPerPattern][kEventsPerBlock] = {};
  EventList<kEventsPerBlock> lists[kBlocksPerPattern];

  NoteStream() {
    for (int b = 0; b < kBlocksPerPattern; ++b) {
      for (int i = 0; i < kEventsPerBlock; ++i) {
        const bool on = i % 2 == 0;
        const int block = on ? b : (b + kBlocksPerPattern - 2) % kBlocksPerPattern;
        midi[b][i] = Note(on, 30 + (block * 7 + (i / 2) * 5) % 64, i * (kFrames / kEventsPerBlock));
        lists[b].events[i] = reinterpret_cast<VstEvent*>(&midi[b][i]);
      }
      lists[b].numEvents = kEventsPerBlock;
    }
  }
};

void SetReal(TestHost& host, IPluginBase* plug, int idx, double value) {
  host.SetParameter(idx, static_cast<float>(plug->GetParam(idx)->NormalizeValue(value)));
}

// Switched on and playing, as both sides run.
void Start(TestHost& host) {
  host.Start(44100.0, kFrames);
  host.SetPlaying(true);
}

void LoadFloor(TestHost& host) {
  host.LoadEntry(VSTPluginMain);
  Start(host);
}

// All four voices sound, each on its own channel with its own delay, and snapping is on.
AEffect* LoadCyclochord(TestHost& host) {
  AEffect* effect = host.Load(CreatePluginInstance);
  Start(host);
  IPluginBase* plug = VstPluginOf(effect);
  SetReal(host, plug, kParInt, 7);
  SetReal(host, plug, kParChan, 2);
  SetReal(host, plug, kV1Chan, 3);
  SetReal(host, plug, kV2Chan, 4);
  for (int i = 0; i < 4; ++i) {
    SetReal(host, plug, kV1Int1 + i, 3 + 2 * i);
    SetReal(host, plug, kV2Int1 + i, -12 + i);
  }
  SetReal(host, plug, kV2Algo, kAlgoZigZag);
  SetReal(host, plug, kPDelay, 14);   // 1/32
  SetReal(host, plug, kV1Delay, 11);  // 1/16
  SetReal(host, plug, kV2Delay, 13);  // 1/8t
  SetReal(host, plug, kSnap, 1);
  SetReal(host, plug, kScale, 1);
  SetReal(host, plug, kTonic, 2);
  return effect;
}

NoteStream& Stream() {
  static NoteStream stream;
  return stream;
}

// How many events Cyclochord sends in each block of the pattern once it has settled.
const std::vector<int>& CyclochordOutputCounts() {
  static const std::vector<int> counts = [] {
    TestHost host(TestHost::Mode::kCounting);
    LoadCyclochord(host);
    std::vector<int> perBlock(kBlocksPerPattern);
    for (int cycle = 0; cycle < 3; ++cycle) {
      for (int b = 0; b < kBlocksPerPattern; ++b) {
        const std::size_t before = host.mEventsReceived;
        host.SendEvents(Stream().lists[b].Get());
        host.Process(kFrames);
        perBlock[static_cast<std::size_t>(b)] = static_cast<int>(host.mEventsReceived - before);
      }
    }
    return perBlock;
  }();
  return counts;
}

// The floor is fed, block by block, as many note events as Cyclochord sends.
struct FloorStream {
  VstMidiEvent midi[kMaxOut] = {};
  EventList<kMaxOut> lists[kBlocksPerPattern];

  FloorStream() {
    for (int i = 0; i < kMaxOut; ++i) midi[i] = Note(i % 2 == 0, 40 + i % 48, (i * 7) % kFrames);
    const std::vector<int>& counts = CyclochordOutputCounts();
    for (int b = 0; b < kBlocksPerPattern; ++b) {
      lists[b].numEvents = counts[static_cast<std::size_t>(b)];
      for (int i = 0; i < lists[b].numEvents && i < kMaxOut; ++i)
        lists[b].events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
  }
};

void RunBlocks(benchmark::State& state, TestHost& host, bool withNotes, bool floor) {
  static FloorStream floorStream;
  auto block = [&](int b) {
    if (withNotes) host.SendEvents(floor ? floorStream.lists[b].Get() : Stream().lists[b].Get());
    host.Process(kFrames);
  };
  for (int b = 0; b < kBlocksPerPattern; ++b) block(b);  // warm-up
  const std::size_t before = host.mEventsReceived;
  int b = 0;
  for (auto _ : state) {
    block(b);
    b = (b + 1) % kBlocksPerPattern;
  }
  state.counters["out/block"] =
      static_cast<double>(host.mEventsReceived - before) / static_cast<double>(state.iterations());
}

void BM_EmptyBlockFloor(benchmark::State& state) {
  TestHost host(TestHost::Mode::kCounting);
  LoadFloor(host);
  RunBlocks(state, host, false, true);
}
void BM_EmptyBlockCyclochord(benchmark::State& state) {
  TestHost host(TestHost::Mode::kCounting);
  LoadCyclochord(host);
  RunBlocks(state, host, false, false);
}
void BM_NoteBlockFloor(benchmark::State& state) {
  TestHost host(TestHost::Mode::kCounting);
  LoadFloor(host);
  RunBlocks(state, host, true, true);
}
void BM_NoteBlockCyclochord(benchmark::State& state) {
  TestHost host(TestHost::Mode::kCounting);
  LoadCyclochord(host);
  RunBlocks(state, host, true, false);
}
BENCHMARK(BM_EmptyBlockFloor)->Apply(FloorRepetitions);
BENCHMARK(BM_EmptyBlockCyclochord)->Apply(FloorRepetitions);
BENCHMARK(BM_NoteBlockFloor)->Apply(FloorRepetitions);
BENCHMARK(BM_NoteBlockCyclochord)->Apply(FloorRepetitions);
}  // namespace

int main(int argc, char** argv) {
  return RunWithFloorRatios(
      argc, argv,
      {{"BM_EmptyBlockCyclochord", "BM_EmptyBlockFloor", "empty 512-frame block, single precision"},
       {"BM_NoteBlockCyclochord", "BM_NoteBlockFloor", "512 frames, 16 note events in, as many out as floor"}});
}

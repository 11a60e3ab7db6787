// Cost per incoming event as the number of pending notes grows: the note queue alone, and Cyclochord under a
// sustained flood through its AEffect. Each figure is compared with the 64-pending figure of the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "FloorRatio.h"
#include "VSTEntry.h"
#include "NoteTracker.h"
#include "TestHost.h"

namespace {
constexpr int kBlockFrames = 32;
constexpr int kTriggersPerBlock = 64;  // and as many releases: 128 events per 32-frame block

// The queue alone. Every 32-frame block adds 16 note-ons and 16 note-offs at times spread evenly over the next
// `window` samples and takes what falls due, so about window / 2 records stay queued, each with its own time.
void BM_NoteQueuePerEvent(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  constexpr int kAddsPerBlock = 16;
  NoteTracker tracker;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> time(0, window - 1), note(0, 127), channel(0, 15);
  auto block = [&] {
    for (int i = 0; i < kAddsPerBlock; ++i) {
      const int n = note(random), c = channel(random), t = time(random);
      if (!tracker.HasNoteOnAt(n, c, t)) tracker.AddNoteOn(t, n, c, 100);
      tracker.AddNoteOff(time(random), note(random), channel(random), 100);
    }
    int taken = 0;
    tracker.TakeDue(kBlockFrames, [&](const NoteRecord&, int32_t) { ++taken; });
    benchmark::DoNotOptimize(taken);
  };
  for (int i = 0; i < 4 * window; ++i) block();  // reach the steady state
  int64_t pending = 0;
  for (auto _ : state) {
    block();
    pending += tracker.NumPending();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * kAddsPerBlock);
  state.counters["pending"] = static_cast<double>(pending) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_NoteQueuePerEvent)->Arg(128)->Arg(1024)->Arg(8192)->Repetitions(5)->Apply(WithMinimum);

struct FloodStream {
  std::vector<VstMidiEvent> midi;
  struct List {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2 * kTriggersPerBlock];
  };
  std::vector<List> lists;

  static constexpr int kPattern = 16;
  FloodStream() : midi(kPattern * 2 * kTriggersPerBlock), lists(kPattern) {
    for (int b = 0; b < kPattern; ++b) {
      for (int i = 0; i < 2 * kTriggersPerBlock; ++i) {
        VstMidiEvent& e = midi[static_cast<size_t>(b * 2 * kTriggersPerBlock + i)];
        const bool on = i % 2 == 0;
        // Releases end the keys struck four blocks earlier: 4 x 64 keys are held.
        const int k = (on ? b : b + kPattern - 4) * kTriggersPerBlock + i / 2;
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = i / 4;
        e.midiData[0] = static_cast<char>(on ? 0x90 : 0x80);
        e.midiData[1] = static_cast<char>(k % 128);
        e.midiData[2] = on ? static_cast<char>(1 + i / 2) : 0;
        lists[static_cast<size_t>(b)].events[i] = reinterpret_cast<VstEvent*>(&e);
      }
      lists[static_cast<size_t>(b)].numEvents = 2 * kTriggersPerBlock;
    }
  }
};

// Cyclochord under 128 events per 32-frame block, the main voice delayed by 1/32t. The tempo sets the delay in
// samples, and with it how many notes stay pending: the stream and the output are the same in every case.
void BM_FloodPerEvent(benchmark::State& state) {
  static FloodStream stream;
  const double tempo = static_cast<double>(state.range(0));
  TestHost host;
  AEffect* effect = host.Load(CreatePluginInstance);
  auto* plug = static_cast<Cyclochord*>(static_cast<IPluginVST*>(effect->object));
  auto set = [&](int idx, double value) {
    host.SetParameter(idx, static_cast<float>(plug->GetParam(idx)->NormalizeValue(value)));
  };
  set(kParMute, 1);
  set(kV1Mute, 1);
  set(kV2Mute, 1);
  set(kMnDelay, 16);  // 1/32t
  host.Reserve(1 << 12);
  host.mRecordCalls = false;
  host.SetTransport(0, tempo, true);
  int block = 0;
  auto run = [&] {
    effect->dispatcher(effect, effProcessEvents, 0, 0, &stream.lists[static_cast<size_t>(block)], 0.0f);
    host.Process(kBlockFrames);
    host.ClearMidi();
    block = (block + 1) % FloodStream::kPattern;
  };
  for (int i = 0; i < 2000; ++i) run();
  int64_t pending = 0;
  for (auto _ : state) {
    run();
    pending += plug->PendingNoteEvents();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * kTriggersPerBlock);
  state.counters["pending"] = static_cast<double>(pending) / static_cast<double>(state.iterations());
}
// 6890 bpm: a 32-sample delay, about 64 pending; 107 bpm: about 2060 samples, about 4100 pending.
BENCHMARK(BM_FloodPerEvent)->Arg(6890)->Arg(861)->Arg(107)->Repetitions(5)->Apply(WithMinimum);

// Each case's CPU time per event against the fewest-pending case of the same benchmark, which does the same
// work with the shortest queue.
void PrintQueueGrowth(const FloorRatioReporter& reporter, const std::string& prefix,
                      const std::vector<std::string>& args, int eventsPerIteration) {
  const std::string base = prefix + args.front();
  for (const std::string& arg : args) {
    const std::string name = prefix + arg;
    char what[128];
    std::snprintf(what, sizeof what, "%s, %.0f pending, per event vs %.0f pending", name.c_str(),
                  reporter.Counter(name, "median", "pending"), reporter.Counter(base, "median", "pending"));
    reporter.PrintRatio(what, name, base, eventsPerIteration);
  }
}
}  // namespace

int main(int argc, char** argv) {
  return RunWithRatios(argc, argv, [](const FloorRatioReporter& reporter) {
    PrintQueueGrowth(reporter, "BM_NoteQueuePerEvent/", {"128", "1024", "8192"}, 32);
    PrintQueueGrowth(reporter, "BM_FloodPerEvent/", {"6890", "861", "107"}, 2 * kTriggersPerBlock);
  });
}

// Cost per incoming event as the number of pending notes grows: the note queue alone, and the voicing engine
// under a sustained flood. Each figure is compared with the fewest-pending figure of the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "FloorRatio.h"
#include "NoteTracker.h"
#include "VoicingEngine.h"

namespace {
constexpr int kBlockFrames = 32;
constexpr int kTriggersPerBlock = 64;  // and as many releases: 128 events per 32-frame block
constexpr int kOneOf32ndTriplet = 16;  // index into kDelayDivisions

// The queue alone, asked as the engine asks it. Every 32-frame block strikes 8 random keys at rising offsets, each
// through one of four voices whose delays spread over `window` samples, and releases the 8 struck two blocks
// before with the delays they were struck with. So, as from the engine, events of one delay arrive in time order.
void BM_NoteQueuePerEvent(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  constexpr int kNotesPerBlock = 8;
  constexpr int kHeldBlocks = 2;
  struct Struck {
    int note, channel, delay;
    bool queued;
  };
  Struck struck[kHeldBlocks + 1][kNotesPerBlock] = {};
  NoteTracker tracker;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> note(0, 127), channel(0, 15);
  int b = 0;
  auto block = [&] {
    Struck* now = struck[b % (kHeldBlocks + 1)];  // also the notes struck kHeldBlocks blocks ago
    for (int i = 0; i < kNotesPerBlock; ++i) {
      const int offset = i * (kBlockFrames / kNotesPerBlock);
      Struck& old = now[i];
      if (old.queued) tracker.AddNoteOff(offset + old.delay, old.note, old.channel, 100, old.delay);
      const int n = note(random), c = channel(random), delay = window * (1 + i % 4) / 4;
      const bool queued = !tracker.HasNoteOnAt(n, c, offset + delay) && tracker.CanAddNoteOn(n, c) &&
                          tracker.AddNoteOn(offset + delay, n, c, 100, delay);
      old = {n, c, delay, queued};
    }
    ++b;
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
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * kNotesPerBlock);
  state.counters["pending"] = static_cast<double>(pending) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_NoteQueuePerEvent)->Arg(256)->Arg(2048)->Arg(16384)->Repetitions(5)->Apply(WithMinimum);

// Counting is the work any real sink does at least; both sides of every ratio do it.
class CountingSink final : public NoteSink {
 public:
  void Send(const NoteEvent& event) override {
    benchmark::DoNotOptimize(event);
    ++mCount;
  }
  int64_t mCount = 0;
};

struct FloodEvent {
  bool mOn;
  uint8_t mNote;
  uint8_t mVelocity;
  int32_t mOffset;
};

// Two blocks, repeated: each strikes one half of the keys and releases the half the block before struck, two
// note-ons and two note-offs at every offset.
std::vector<FloodEvent> MakeFlood(int block) {
  std::vector<FloodEvent> events;
  for (int i = 0; i < 2 * kTriggersPerBlock; ++i) {
    const bool on = i % 2 == 0;
    const int half = on ? block : 1 - block;
    events.push_back({on, static_cast<uint8_t>(half * kTriggersPerBlock + i / 2),
                      static_cast<uint8_t>(on ? 1 + i / 2 : 0), i / 4});
  }
  return events;
}

// The engine under 128 events per 32-frame block, the main voice alone, delayed by 1/32t. The tempo sets the
// delay in samples, and with it how many notes stay pending: the stream and the output are the same in every
// case.
void BM_FloodPerEvent(benchmark::State& state) {
  static const std::vector<FloodEvent> flood[2] = {MakeFlood(0), MakeFlood(1)};
  VoicingEngine engine;
  engine.SetSampleRate(44100.0);
  engine.SetMaxBlockSize(kBlockFrames);
  engine.SetMute(kParallelVoice, true);
  engine.SetMute(kRotator1, true);
  engine.SetMute(kRotator2, true);
  engine.SetDelay(kMainVoice, kOneOf32ndTriplet);
  EngineTransport transport;
  transport.mSamplePos = 0.0;
  transport.mTempo = static_cast<double>(state.range(0));
  transport.mPlaying = true;
  CountingSink sink;
  int block = 0;
  auto run = [&] {
    for (const FloodEvent& e : flood[block]) {
      if (e.mOn)
        engine.NoteOn(e.mNote, e.mVelocity, e.mOffset);
      else
        engine.NoteOff(e.mNote, e.mOffset);
    }
    engine.Process(transport, kBlockFrames, sink);
    transport.mSamplePos += kBlockFrames;
    block = 1 - block;
  };
  for (int i = 0; i < 2000; ++i) run();
  // Untimed: the audio thread must not allocate, and a figure from a block that does would mislead.
  AllocationCounter::Start();
  for (int i = 0; i < 64; ++i) run();
  if (AllocationCounter::Stop() != 0) {
    state.SkipWithError("the engine allocates while processing");
    return;
  }
  int64_t pending = 0;
  for (auto _ : state) {
    run();
    pending += engine.NumPending();
  }
  benchmark::DoNotOptimize(sink.mCount);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * kTriggersPerBlock);
  state.counters["pending"] = static_cast<double>(pending) / static_cast<double>(state.iterations());
}
// 6890 bpm: a 16-sample delay, about 64 pending; 107 bpm: 1030 samples, about 4100 pending.
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
    PrintQueueGrowth(reporter, "BM_NoteQueuePerEvent/", {"256", "2048", "16384"}, 16);
    PrintQueueGrowth(reporter, "BM_FloodPerEvent/", {"6890", "861", "107"}, 2 * kTriggersPerBlock);
  });
}

// Cost of Cyclochord per incoming note event against the framework's pass-through plug-in on the same stream,
// and the cost of an empty block with delayed notes pending.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "TestHost.h"
#include "TestPlugin.h"

namespace {
constexpr int kFrames = 512;
constexpr int kEventsPerBlock = 8;  // at most: four note-ons and four note-offs
constexpr int kBlocksPerPattern = 64;

struct EventList {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[kEventsPerBlock];
};

// A chord pattern: each block strikes four keys and releases the four struck two blocks before.
struct NoteStream {
  VstMidiEvent midi[kBlocksPerPattern][kEventsPerBlock] = {};
  EventList lists[kBlocksPerPattern] = {};

  NoteStream() {
    for (int b = 0; b < kBlocksPerPattern; ++b) {
      for (int i = 0; i < kEventsPerBlock; ++i) {
        VstMidiEvent& e = midi[b][i];
        const bool on = i % 2 == 0;
        const int block = on ? b : (b + kBlocksPerPattern - 2) % kBlocksPerPattern;
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = i * (kFrames / kEventsPerBlock);
        e.midiData[0] = static_cast<char>(on ? 0x90 : 0x80);
        e.midiData[1] = static_cast<char>(40 + (block * 7 + (i / 2) * 5) % 48);
        e.midiData[2] = on ? static_cast<char>(60 + i * 5) : 0;
        lists[b].events[i] = reinterpret_cast<VstEvent*>(&e);
      }
      lists[b].numEvents = kEventsPerBlock;
    }
  }
};


void SetReal(TestHost& host, IPluginBase* plug, int idx, double value) {
  host.SetParameter(idx, static_cast<float>(plug->GetParam(idx)->NormalizeValue(value)));
}

// All four voices sound, each on its own channel with its own delay, and snapping is on.
void ConfigureCyclochord(TestHost& host, IPluginBase* plug) {
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
}

IPluginBase* Load(TestHost& host, bool cyclochord) {
  AEffect* effect = host.Load(cyclochord ? CreatePluginInstance : TestPlugin::Create);
  IPluginBase* plug = static_cast<IPluginVST*>(effect->object);
  if (cyclochord)
    ConfigureCyclochord(host, plug);
  else
    static_cast<TestPlugin*>(plug)->mLogCalls = false;
  host.Reserve(1 << 12);
  host.mRecordCalls = false;
  host.SetTransport(0, 120, true);
  return plug;
}

// state.range(0) events per block: half note-ons, half note-offs.
void StreamNotes(benchmark::State& state, bool cyclochord) {
  static NoteStream stream;
  const int eventsPerBlock = static_cast<int>(state.range(0));
  for (EventList& list : stream.lists) list.numEvents = eventsPerBlock;
  TestHost host;
  Load(host, cyclochord);
  AEffect* effect = host.Effect();
  int block = 0;
  std::size_t sent = 0;
  for (auto _ : state) {
    effect->dispatcher(effect, effProcessEvents, 0, 0, &stream.lists[block], 0.0f);
    host.Process(kFrames);  // processReplacing, then the transport moves on
    sent += host.Midi().size();
    host.ClearMidi();
    host.ClearCalls();
    block = (block + 1) % kBlocksPerPattern;
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * eventsPerBlock);
  state.counters["out/in"] = static_cast<double>(sent) / (static_cast<double>(state.iterations()) * eventsPerBlock);
}

void BM_PassThroughStream(benchmark::State& state) { StreamNotes(state, false); }
void BM_CyclochordStream(benchmark::State& state) { StreamNotes(state, true); }
BENCHMARK(BM_PassThroughStream)->Arg(8)->Arg(2);
BENCHMARK(BM_CyclochordStream)->Arg(8)->Arg(2);

// 16 triggers x 4 voices far in the future: every block only shortens the first delta.
void BM_CyclochordEmptyBlock64Pending(benchmark::State& state) {
  TestHost host;
  IPluginBase* plug = Load(host, true);
  // One interval per rotator and no snapping, so that no two of the 64 notes coincide.
  SetReal(host, plug, kSnap, 0);
  for (int i = 0; i < 4; ++i) {
    SetReal(host, plug, kV1Int1 + i, 4);
    SetReal(host, plug, kV2Int1 + i, -5);
  }
  SetReal(host, plug, kMnDelay, 1);
  host.SetTempo(1e-6);  // every delay now outlasts the benchmark
  host.Process(kFrames);
  for (int n = 0; n < 16; ++n) host.SendMidi(0x90, static_cast<uint8_t>(40 + n * 3), 100, n);
  for (auto _ : state) {
    host.Process(kFrames);
    host.ClearMidi();
    host.ClearCalls();
  }
}
BENCHMARK(BM_CyclochordEmptyBlock64Pending)->Iterations(2000000);

void BM_PassThroughEmptyBlock(benchmark::State& state) {
  TestHost host;
  Load(host, false);
  for (auto _ : state) {
    host.Process(kFrames);
    host.ClearMidi();
    host.ClearCalls();
  }
}
BENCHMARK(BM_PassThroughEmptyBlock);

// Prints each Cyclochord figure as a ratio to the pass-through figure measured in this same run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // CPU time: other work on the machine inflates wall time unevenly between benchmarks.
    for (const Run& run : runs) mNanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    Ratio("BM_CyclochordStream/8", "BM_PassThroughStream/8", 8, "per note event, 8 events per block");
    Ratio("BM_CyclochordStream/2", "BM_PassThroughStream/2", 2, "per note event, 2 events per block");
    Ratio("BM_CyclochordEmptyBlock64Pending/iterations:2000000", "BM_PassThroughEmptyBlock", 1,
          "per empty 512-frame block, 64 notes pending");
  }

 private:
  void Ratio(const std::string& ours, const std::string& floor, int perIteration, const char* what) {
    if (!mNanoseconds.count(ours) || !mNanoseconds.count(floor)) return;
    const double a = mNanoseconds[ours] / perIteration, b = mNanoseconds[floor] / perIteration;
    std::printf("%-45s Cyclochord %7.1f ns, pass-through %7.1f ns (CPU), ratio %.2f\n", what, a, b, a / b);
  }
  std::map<std::string, double> mNanoseconds;
};
}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

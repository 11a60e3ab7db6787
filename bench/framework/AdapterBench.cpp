// Cost of one block through the adapter (16 MIDI events plus 512 stereo frames) against a plain
// copy of the same audio, the floor any pass-through must pay.
#include <benchmark/benchmark.h>

#include <cstring>
#include <type_traits>
#include <vector>

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

template <typename Sample>
void BM_PlainCopy(benchmark::State& state) {
  std::vector<Sample> in[2] = {std::vector<Sample>(kFrames, 0.5f), std::vector<Sample>(kFrames, 0.25f)};
  std::vector<Sample> out[2] = {std::vector<Sample>(kFrames), std::vector<Sample>(kFrames)};
  for (auto _ : state) {
    for (int c = 0; c < 2; ++c) std::memcpy(out[c].data(), in[c].data(), sizeof(Sample) * kFrames);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::DoNotOptimize(out[1].data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK_TEMPLATE(BM_PlainCopy, float);
BENCHMARK_TEMPLATE(BM_PlainCopy, double);

// Single precision pays for the conversion into and out of the base's double buffers; double does not.
template <typename Sample>
void BM_AdapterBlock(benchmark::State& state) {
  TestHost host;
  AEffect* effect = host.Load(TestPlugin::Create);
  static_cast<TestPlugin*>(static_cast<IPluginVST*>(effect->object))->mLogCalls = false;
  host.Reserve(1 << 12);
  host.mRecordCalls = false;
  host.SetTransport(0, 120, true);
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
  std::vector<Sample> in[2] = {std::vector<Sample>(kFrames, 0.5f), std::vector<Sample>(kFrames, 0.25f)};
  std::vector<Sample> out[2] = {std::vector<Sample>(kFrames), std::vector<Sample>(kFrames)};
  Sample* inputs[2] = {in[0].data(), in[1].data()};
  Sample* outputs[2] = {out[0].data(), out[1].data()};
  for (auto _ : state) {
    effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
    if constexpr (std::is_same_v<Sample, float>)
      effect->processReplacing(effect, inputs, outputs, kFrames);
    else
      effect->processDoubleReplacing(effect, inputs, outputs, kFrames);
    host.ClearMidi();
    host.ClearCalls();
    benchmark::ClobberMemory();
  }
}
BENCHMARK_TEMPLATE(BM_AdapterBlock, float)->Arg(kEvents)->Arg(0);
BENCHMARK_TEMPLATE(BM_AdapterBlock, double)->Arg(kEvents)->Arg(0);
}  // namespace

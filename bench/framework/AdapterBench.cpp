// Cost of one block through the adapter (16 MIDI events plus 512 stereo frames) against a plain
// copy of the same audio, the floor any pass-through must pay.
#include <benchmark/benchmark.h>

#include <cstring>
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

void BM_PlainCopy(benchmark::State& state) {
  std::vector<float> in[2] = {std::vector<float>(kFrames, 0.5f), std::vector<float>(kFrames, 0.25f)};
  std::vector<float> out[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
  for (auto _ : state) {
    for (int c = 0; c < 2; ++c) std::memcpy(out[c].data(), in[c].data(), sizeof(float) * kFrames);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::DoNotOptimize(out[1].data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlainCopy);

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
  std::vector<float> in[2] = {std::vector<float>(kFrames, 0.5f), std::vector<float>(kFrames, 0.25f)};
  std::vector<float> out[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
  float* inputs[2] = {in[0].data(), in[1].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  for (auto _ : state) {
    effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
    effect->processReplacing(effect, inputs, outputs, kFrames);
    host.ClearMidi();
    host.ClearCalls();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AdapterBlock)->Arg(kEvents)->Arg(0);
}  // namespace

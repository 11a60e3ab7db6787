// What a musician hears as a dropout: the time of each processing call while the editor redraws on its own
// thread and a control thread saves and loads chunks, changes programs and sets parameters as fast as it can.
// The audio thread runs 64-frame blocks at the pace of 48 kHz. The figures are the wall time of each call (event
// delivery and processing), so that waiting for a lock counts, and beside it the call's own processor time: a
// call whose wall time is far above its processor time either waited or was preempted, and "waited_over_20us"
// counts the calls whose wall time exceeds their processor time by more than 20 us. Run under a display
// (xvfb-run), ideally on an idle machine: preemption by other programs counts as waiting here.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

#include "VstEntry.h"
#include "VstAbi.h"
#include "X11TestDisplay.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kFrames = 64;
constexpr double kRate = 48000.0;

VstTimeInfo gTime = {};

double ThreadCpuMicroseconds() {
  timespec t = {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

VstIntPtr VST_CALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&gTime);
    case audioMasterProcessEvents: return 1;
    default: return 0;
  }
}

// The control thread: every parameter, then a program, then a chunk out and in, without pause.
void ControlThread(AEffect* effect, const std::atomic<bool>& stop) {
  std::vector<unsigned char> saved;
  for (int i = 0; !stop; ++i) {
    for (int p = 0; p < effect->numParams; ++p)
      effect->setParameter(effect, p, static_cast<float>((i * 37 + p * 11) % 101) / 100.0f);
    effect->dispatcher(effect, effSetProgram, 0, i % effect->numPrograms, nullptr, 0.0f);
    void* data = nullptr;
    const VstIntPtr size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
    if (size > 0 && data) saved.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    if (!saved.empty())
      effect->dispatcher(effect, effSetChunk, 1, static_cast<VstIntPtr>(saved.size()), saved.data(), 0.0f);
  }
}

void BM_ProcessingCallWhileOthersWork(benchmark::State& state) {
  X11TestDisplay x;
  if (!x.Connected()) {
    state.SkipWithError(x.Problem().c_str());
    return;
  }
  AEffect* effect = VstCreateEffect(Callback, CreatePluginInstance);
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
  effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  ERect* rect = nullptr;
  effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f);
  const xcb_window_t frame = x.MakeWindow(0, 0, rect->right - rect->left, rect->bottom - rect->top);
  effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(frame)), 0.0f);

  gTime.sampleRate = kRate;
  gTime.tempo = 120;
  gTime.flags = kVstTransportPlaying | kVstTempoValid;
  std::atomic<bool> stop{false};
  std::thread control(ControlThread, effect, std::cref(stop));

  std::vector<float> buffer(2 * kFrames);
  float* io[2] = {&buffer[0], &buffer[kFrames]};
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kFrames / kRate));
  std::vector<double> microseconds, cpuMicroseconds, waited;
  for (auto _ : state) {
    microseconds.clear();
    const Clock::time_point end = Clock::now() + std::chrono::seconds(state.range(0));
    Clock::time_point next = Clock::now();
    for (int b = 0; Clock::now() < end; ++b) {
      VstMidiEvent midi[2] = {};
      const unsigned char on[3] = {0x90, static_cast<unsigned char>(48 + b % 24), 100};
      const unsigned char off[3] = {0x80, static_cast<unsigned char>(48 + (b + 12) % 24), 0};
      std::memcpy(midi[0].midiData, on, 3);
      std::memcpy(midi[1].midiData, off, 3);
      struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[2];
      } list = {2, 0, {reinterpret_cast<VstEvent*>(&midi[0]), reinterpret_cast<VstEvent*>(&midi[1])}};
      for (VstMidiEvent& e : midi) {
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = 7;
      }
      const double cpuStart = ThreadCpuMicroseconds();
      const Clock::time_point start = Clock::now();
      effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
      effect->processReplacing(effect, io, io, kFrames);
      const double wall = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
      const double cpu = ThreadCpuMicroseconds() - cpuStart;
      microseconds.push_back(wall);
      cpuMicroseconds.push_back(cpu);
      waited.push_back(wall - cpu);
      gTime.samplePos += kFrames;
      next += period;
      std::this_thread::sleep_until(next);
    }
  }
  stop = true;
  control.join();
  effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  x.DestroyWindow(frame);

  auto report = [&state](const char* name, std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    auto at = [&](double q) { return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1))]; };
    const std::string prefix(name);
    state.counters[prefix + "_median_us"] = at(0.5);
    state.counters[prefix + "_p999_us"] = at(0.999);
    state.counters[prefix + "_max_us"] = values.back();
    state.counters[prefix + "_over_20us"] =
        static_cast<double>(values.end() - std::upper_bound(values.begin(), values.end(), 20.0));
  };
  state.counters["calls"] = static_cast<double>(microseconds.size());
  report("wall", microseconds);
  report("cpu", cpuMicroseconds);
  report("waited", waited);
}
BENCHMARK(BM_ProcessingCallWhileOthersWork)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
}  // namespace

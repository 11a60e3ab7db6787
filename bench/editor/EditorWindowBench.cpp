// Processor time of Cyclochord's editor window thread on an X server (run under xvfb-run): idle for ten seconds
// with nothing changing, and during five seconds of fader dragging; each as CPU seconds per wall second. Also
// how long one drag tick holds the plug-in's lock while it draws.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>
#include <algorithm>
#include <thread>

#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "EditorWindowX11.h"
#include "IControl.h"
#include "IGraphicsLinux.h"
#include "TestHost.h"
#include "ThreadCpuClock.h"
#include "X11TestDisplay.h"

namespace {

using Clock = std::chrono::steady_clock;

struct OpenEditor {
  X11TestDisplay x;
  TestHost host;
  IGraphicsLinux* g = nullptr;
  xcb_window_t parent = 0;
  pid_t windowThread = 0;

  bool Open() {
    if (!x.Connected()) return false;
    AEffect* effect = host.Load(CreatePluginInstance);
    g = dynamic_cast<IGraphicsLinux*>(VstPluginOf(effect)->GetGraphics());
    parent = x.MakeWindow(0, 0, 410, 680);
    const std::vector<pid_t> threads = threadclock::ThreadIds();
    host.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(parent)));
    windowThread = threadclock::StartedSince(threads);
    // Past the first full paint.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return Window() != nullptr && windowThread != 0;
  }
  // Processor time of the window's thread, read from outside through its thread id.
  double ThreadCpuSeconds() const { return threadclock::CpuSeconds(windowThread); }
  EditorWindowX11* Window() const { return dynamic_cast<EditorWindowX11*>(g->Window()); }
  ~OpenEditor() {
    if (g) host.Dispatch(effEditClose);
  }
};

void Report(benchmark::State& state, double cpu, double wall) {
  state.counters["cpu_s_per_wall_s"] = cpu / wall;
  state.counters["percent_of_a_core"] = 100.0 * cpu / wall;
  state.counters["wall_s"] = wall;
}

void BM_IdleEditorThread(benchmark::State& state) {
  OpenEditor e;
  if (!e.Open()) {
    state.SkipWithError("no X server (run under xvfb-run)");
    return;
  }
  for (auto _ : state) {
    const double cpu0 = e.ThreadCpuSeconds();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    Report(state, e.ThreadCpuSeconds() - cpu0, std::chrono::duration<double>(Clock::now() - wall0).count());
  }
}
BENCHMARK(BM_IdleEditorThread)->Iterations(1)->Unit(benchmark::kSecond);

void BM_FaderDragEditorThread(benchmark::State& state) {
  OpenEditor e;
  if (!e.Open()) {
    state.SkipWithError("no X server (run under xvfb-run)");
    return;
  }
  const xcb_window_t w = reinterpret_cast<uintptr_t>(e.g->GetWindow());
  for (auto _ : state) {
    const double cpu0 = e.ThreadCpuSeconds();
    const auto wall0 = Clock::now();
    // A hand on a mouse: about 120 motion events a second, sweeping the track back and forth.
    e.x.MoveTo(w, 126, 307);
    e.x.Press(1);
    int step = 0;
    while (Clock::now() - wall0 < std::chrono::seconds(5)) {
      const int phase = step++ % 340;
      e.x.MoveTo(w, 126 + (phase < 170 ? phase : 340 - phase), 307);
      std::this_thread::sleep_for(std::chrono::microseconds(8333));
    }
    e.x.Release(1);
    Report(state, e.ThreadCpuSeconds() - cpu0, std::chrono::duration<double>(Clock::now() - wall0).count());
    state.counters["motion_events"] = step;
  }
}
BENCHMARK(BM_FaderDragEditorThread)->Iterations(1)->Unit(benchmark::kSecond);

// What a drag costs the host's threads: the tick holds the plug-in's lock while it finds and draws the change
// (the transfer to the server comes after), here with one fader and its read-out changed per tick.
void BM_DragTickUnderTheLock(benchmark::State& state) {
  TestHost host;
  AEffect* effect = host.Load(CreatePluginInstance);
  auto* g = dynamic_cast<IGraphicsLinux*>(VstPluginOf(effect)->GetGraphics());
  for (int pass = 0; pass < 2; ++pass) {
    IRect r;
    if (g->IsDirty(&r)) g->Draw(&r);
  }
  IControl* fader = g->GetControl(7);
  double value = 0.0;
  std::vector<double> held;
  held.reserve(1 << 20);
  for (auto _ : state) {
    value = value > 0.99 ? 0.0 : value + 0.01;
    state.PauseTiming();
    fader->SetValueFromUserInput(value);
    state.ResumeTiming();
    const auto start = Clock::now();
    {
      ScopedLock lock(VstPluginOf(effect)->Lock());
      IRect r;
      if (g->IsDirty(&r)) g->Draw(&r);
    }
    held.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  // The longest holds say more about the scheduler than about drawing; the 99.9th percentile is the figure.
  std::sort(held.begin(), held.end());
  state.counters["median_us"] = held[held.size() / 2];
  state.counters["p999_us"] = held[held.size() * 999 / 1000];
  state.counters["longest_us"] = held.back();
}
BENCHMARK(BM_DragTickUnderTheLock);

}  // namespace

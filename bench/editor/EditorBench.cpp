// Cost of a full redraw of Cyclochord's 410 x 680 editor and of a timer tick that finds nothing dirty, each
// reported as a ratio to one copy of the draw surface (the floor of any repaint) measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "Cyclochord.h"
#include "IGraphicsRaster.h"
#include "RasterBitmap.h"
#include "TestHost.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Editor {
  TestHost host;
  IGraphicsRaster* g = nullptr;
  Editor() {
    AEffect* effect = host.Load(CreatePluginInstance);
    g = dynamic_cast<IGraphicsRaster*>(VstPluginOf(effect)->GetGraphics());
    // Two passes settle the redraws that attachment asked for.
    for (int i = 0; i < 2; ++i) {
      IRect r;
      if (g->IsDirty(&r)) g->Draw(&r);
    }
  }
  size_t SurfaceBytes() const {
    RasterBitmap* b = g->GetDrawBitmap();
    return size_t(b->RowSpan()) * size_t(b->Height()) * sizeof(Pixel);
  }
};

Editor& TheEditor() {
  static Editor editor;
  return editor;
}

// Nanoseconds of one copy of the draw surface: the median of many copies.
double FloorNanoseconds() {
  static const double floor = [] {
    Editor& e = TheEditor();
    const size_t bytes = e.SurfaceBytes();
    std::vector<unsigned char> copy(bytes);
    std::vector<double> times;
    for (int i = 0; i < 400; ++i) {
      const auto start = Clock::now();
      std::memcpy(copy.data(), e.g->GetDrawBits(), bytes);
      benchmark::ClobberMemory();
      times.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + 200, times.end());
    return times[200];
  }();
  return floor;
}

void ReportRatio(benchmark::State& state, double totalNanoseconds) {
  const double perIteration = totalNanoseconds / double(state.iterations());
  state.counters["ns"] = perIteration;
  state.counters["floor_ns"] = FloorNanoseconds();
  state.counters["x_floor"] = perIteration / FloorNanoseconds();
}

void BM_SurfaceCopy(benchmark::State& state) {
  Editor& e = TheEditor();
  const size_t bytes = e.SurfaceBytes();
  std::vector<unsigned char> copy(bytes);
  const auto start = Clock::now();
  for (auto _ : state) {
    std::memcpy(copy.data(), e.g->GetDrawBits(), bytes);
    benchmark::ClobberMemory();
  }
  ReportRatio(state, std::chrono::duration<double, std::nano>(Clock::now() - start).count());
}
BENCHMARK(BM_SurfaceCopy);

void BM_FullRedraw(benchmark::State& state) {
  Editor& e = TheEditor();
  const IRect all(0, 0, e.g->Width(), e.g->Height());
  const auto start = Clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(e.g->Draw(&all));
    benchmark::ClobberMemory();
  }
  ReportRatio(state, std::chrono::duration<double, std::nano>(Clock::now() - start).count());
}
BENCHMARK(BM_FullRedraw);

void BM_IdleTick(benchmark::State& state) {
  Editor& e = TheEditor();
  const auto start = Clock::now();
  for (auto _ : state) {
    IRect r;
    benchmark::DoNotOptimize(e.g->IsDirty(&r));
  }
  state.counters["controls"] = e.g->NControls();
  ReportRatio(state, std::chrono::duration<double, std::nano>(Clock::now() - start).count());
}
BENCHMARK(BM_IdleTick);

}  // namespace

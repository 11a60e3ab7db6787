// Blits of editor-sized bitmaps against memcpy of the same bytes, and the background's PNG decoding time.
#include "Blit.h"
#include "MemoryBitmap.h"
#include "PngResource.h"
#include "SystemBitmap.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 410;
constexpr int kHeight = 680;
constexpr double kPixels = static_cast<double>(kWidth) * kHeight;

// The floor, measured first in the same run; each blit reports its time as a multiple of it.
double gMemcpyNsPerPixel = 0.0;

// Processor time of this process: other work on the machine slows the wall clock, not this.
double CpuNanoseconds() { return 1e9 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void Report(benchmark::State& state, double start, bool isFloor) {
  const double ns = CpuNanoseconds() - start;
  const double nsPerPixel = ns / static_cast<double>(state.iterations()) / kPixels;
  state.counters["ns_per_pixel"] = nsPerPixel;
  if (isFloor) {
    gMemcpyNsPerPixel = nsPerPixel;
  } else if (gMemcpyNsPerPixel > 0.0) {
    state.counters["x_memcpy"] = nsPerPixel / gMemcpyNsPerPixel;
  }
}

std::unique_ptr<RasterBitmap> Background() {
  return std::unique_ptr<RasterBitmap>(PngFromResource(nullptr, kBackgroundPngId, nullptr));
}

// Every pixel partly transparent: the slowest case for source alpha, where each one is blended.
std::unique_ptr<RasterBitmap> Translucent() {
  auto bitmap = std::make_unique<MemoryBitmap>(kWidth, kHeight, 4);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Pixel alpha = 1 + static_cast<Pixel>(x * 7 + y * 3) % 254;
      RowAddress(*bitmap, y)[x] = (alpha << 24) | static_cast<Pixel>(x * 2654435761u >> 8);
    }
  }
  return bitmap;
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<Pixel> src(static_cast<std::size_t>(kPixels), 0xFF336699u), dest(src.size());
  const double start = CpuNanoseconds();
  for (auto _ : state) {
    std::memcpy(dest.data(), src.data(), src.size() * sizeof(Pixel));
    benchmark::DoNotOptimize(dest.data());
    benchmark::ClobberMemory();
  }
  Report(state, start, true);
}

void RunBlit(benchmark::State& state, RasterBitmap* src, int mode) {
  SystemBitmap surface(kWidth, kHeight);
  Blit(&surface, src, 0, 0, nullptr, 1.0f, kBlitCopy);
  const double start = CpuNanoseconds();
  for (auto _ : state) {
    Blit(&surface, src, 0, 0, nullptr, 1.0f, mode);
    benchmark::DoNotOptimize(surface.Bits());
    benchmark::ClobberMemory();
  }
  Report(state, start, false);
}

void BM_BlitCopy(benchmark::State& state) {
  auto background = Background();
  RunBlit(state, background.get(), kBlitCopy);
}

void BM_BlitSourceAlphaBackground(benchmark::State& state) {
  auto background = Background();
  RunBlit(state, background.get(), kBlitSourceAlpha);
}

void BM_BlitSourceAlphaTranslucent(benchmark::State& state) {
  auto translucent = Translucent();
  RunBlit(state, translucent.get(), kBlitSourceAlpha);
}

void BM_DecodeBackground(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<RasterBitmap> bitmap(PngFromResource(nullptr, kBackgroundPngId, nullptr));
    benchmark::DoNotOptimize(bitmap.get());
  }
  state.counters["bytes"] = static_cast<double>(FindPngResource(nullptr, kBackgroundPngId).mSize);
}

}  // namespace

// Registration order is run order: the memcpy floor comes first.
BENCHMARK(BM_Memcpy);
BENCHMARK(BM_BlitCopy);
BENCHMARK(BM_BlitSourceAlphaBackground);
BENCHMARK(BM_BlitSourceAlphaTranslucent);
BENCHMARK(BM_DecodeBackground)->Unit(benchmark::kMicrosecond);

// Renders dense MIDI (16 notes per beat at 120 bpm) through cyclochord-host's render command and reports the
// real-time factor (seconds of music per second of wall time) and the peak of heap memory per output event.
// The pass-through test plug-in is the floor. Two lengths, 7.5 minutes and 2 hours (16 times as long), show
// whether time and memory grow linearly with the length.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <sstream>
#include <string>

#include "Commands.h"
#include "MidiFileWriter.h"

using namespace cchost;

// Every allocation through operator new is counted, the plug-in's included, so that the peak is the peak of the
// whole render: reading, rendering, writing.
namespace {
std::atomic<int64_t> gLive{0};
std::atomic<int64_t> gPeak{0};
constexpr size_t kHeader = 16;  // keeps the alignment malloc gives

void* Allocate(size_t size) {
  void* raw = std::malloc(size + kHeader);
  if (!raw) throw std::bad_alloc();
  *static_cast<size_t*>(raw) = size;
  const int64_t live = gLive.fetch_add(int64_t(size)) + int64_t(size);
  int64_t peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(raw) + kHeader;
}

void Release(void* p) {
  if (!p) return;
  void* raw = static_cast<char*>(p) - kHeader;
  gLive.fetch_sub(int64_t(*static_cast<size_t*>(raw)));
  std::free(raw);
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace {

constexpr double kBpm = 120.0;

std::vector<uint8_t> DenseFile(double minutes) {
  MidiFile file;
  file.format = 1;
  file.division = 480;
  MidiTrack conductor;
  conductor.events.push_back(TempoEvent(0, kBpm));
  MidiTrack track;
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  // Sixteen notes per beat: a chord of four on every eighth, and a melody of eight short notes.
  const uint32_t beats = static_cast<uint32_t>(minutes * kBpm);
  for (uint32_t beat = 0; beat < beats; ++beat) {
    for (uint32_t half = 0; half < 2; ++half) {
      const uint32_t start = beat * 480 + half * 240;
      const int root = 48 + int(next(12));
      for (int n : {root, root + 4, root + 7, root + 12}) {
        track.events.push_back(MidiEvent::Channel(start, 0x90, uint8_t(n), 90));
        track.events.push_back(MidiEvent::Channel(start + 200, 0x80, uint8_t(n), 0));
      }
    }
    for (uint32_t i = 0; i < 8; ++i) {
      const uint32_t t = beat * 480 + i * 60 + next(20);
      const uint8_t note = uint8_t(72 + next(24));
      track.events.push_back(MidiEvent::Channel(t, 0x90, note, uint8_t(60 + next(60))));
      track.events.push_back(MidiEvent::Channel(t + 20 + next(30), 0x80, note, 0));
    }
  }
  file.tracks = {conductor, track};
  return WriteMidiFile(file);
}

// Every voice busy: intervals, rotation, delays and snapping.
const std::vector<std::string> kSettings = {"ParInt=7",  "pDelay=1/8",    "ParChan=2",   "v1Int1=3",
                                            "v1Int2=-4", "v1Int3=12",     "v1Delay=1/4", "v1Chan=3",
                                            "v2Int1=-12", "v2algo=ZigZag", "v2Delay=1/2", "v2Chan=4",
                                            "Snap=on",   "Scale=Penta"};

class Scratch {
 public:
  Scratch() {
    std::random_device random;
    mPath = std::filesystem::temp_directory_path() / ("cchost-bench-" + std::to_string(random()));
    std::filesystem::create_directory(mPath);
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  std::string Path(const std::string& name) const { return (mPath / name).string(); }

 private:
  std::filesystem::path mPath;
};

int64_t OutputEvents(const std::string& out) {
  // "notes    IN    OUT": each output note is a note-on and a note-off.
  const size_t at = out.find("\nnotes");
  if (at == std::string::npos) return 0;
  std::istringstream line(out.substr(at + 6));
  int64_t in = 0, notes = 0;
  line >> in >> notes;
  return 2 * notes;
}

void RenderThrough(benchmark::State& state, const std::string& module, bool configure) {
  const double minutes = double(state.range(0)) / 10.0;
  Scratch scratch;
  {
    const std::vector<uint8_t> bytes = DenseFile(minutes);
    std::ofstream(scratch.Path("in.mid"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::vector<std::string> args = {"render", std::string(CYCLOCHORD_MODULE_DIR) + "/" + module,
                                   scratch.Path("in.mid"), "-o", scratch.Path("out.mid")};
  if (configure)
    for (const std::string& s : kSettings) args.insert(args.end(), {"--set", s});
  double peakBytes = 0.0;
  int64_t events = 0;
  for (auto _ : state) {
    const int64_t baseline = gLive.load();
    gPeak.store(baseline);
    std::ostringstream out, err;
    if (RunCommandLine(args, out, err) != 0) {
      state.SkipWithError(err.str().c_str());
      return;
    }
    peakBytes = std::max(peakBytes, double(gPeak.load() - baseline));
    events = OutputEvents(out.str());
  }
  state.counters["realtime_factor"] =
      benchmark::Counter(minutes * 60.0 * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["output_events"] = double(events);
  state.counters["peak_MB"] = peakBytes / 1e6;
  state.counters["peak_bytes_per_event"] = events ? peakBytes / double(events) : 0.0;
  state.counters["us_per_event"] =
      benchmark::Counter(double(events) * double(state.iterations()) / 1e6,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_RenderPassThroughFloor(benchmark::State& state) { RenderThrough(state, "TestPlugin.so", false); }
void BM_RenderCyclochord(benchmark::State& state) { RenderThrough(state, "Cyclochord.so", true); }

}  // namespace

// Lengths in tenths of a minute: 7.5 minutes and two hours.
BENCHMARK(BM_RenderPassThroughFloor)->Arg(75)->Arg(1200)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_RenderCyclochord)->Arg(75)->Arg(1200)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// CLAP process against the VST processing call of the same plug-in in the same state, both linked in and driven
// with event lists prepared ahead, a playing transport that moves on with every block and an output that is only
// counted. Prints CPU-time ratios (CLAP / VST) of the minimum and the median of the repetitions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "TestHost.h"
#include "ClapEntry.h"
#include "Cyclochord.h"
#include "CyclochordParams.h"
#include "FloorRatio.h"
#include "VstEntry.h"

namespace {
constexpr int kFrames = 512;
constexpr double kRate = 44100.0;
constexpr double kTempo = 120.0;
constexpr int kEventsPerBlock = 16;  // eight note-ons, eight note-offs
constexpr int kBlocksPerPattern = 64;

struct Note {
  bool mOn;
  uint8_t mKey;
  int mOffset;
};

// Each block strikes eight keys and releases the eight struck two blocks before, as the floor benchmark's.
Note PatternNote(int block, int i) {
  const bool on = i % 2 == 0;
  const int struck = on ? block : (block + kBlocksPerPattern - 2) % kBlocksPerPattern;
  return {on, static_cast<uint8_t>(30 + (struck * 7 + (i / 2) * 5) % 64), i * (kFrames / kEventsPerBlock)};
}

// ---- VST ----

template <int N>
struct VstList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[N] = {};
  VstEvents* Get() { return reinterpret_cast<VstEvents*>(this); }
};

struct VstStream {
  VstMidiEvent mMidi[kBlocksPerPattern][kEventsPerBlock] = {};
  VstList<kEventsPerBlock> mLists[kBlocksPerPattern];

  VstStream() {
    for (int b = 0; b < kBlocksPerPattern; ++b) {
      for (int i = 0; i < kEventsPerBlock; ++i) {
        const Note n = PatternNote(b, i);
        VstMidiEvent& e = mMidi[b][i];
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = n.mOffset;
        e.midiData[0] = static_cast<char>(n.mOn ? 0x90 : 0x80);
        e.midiData[1] = static_cast<char>(n.mKey);
        e.midiData[2] = n.mOn ? 100 : 0;
        mLists[b].events[i] = reinterpret_cast<VstEvent*>(&e);
      }
      mLists[b].numEvents = kEventsPerBlock;
    }
  }
};

void SetReal(TestHost& host, IPluginBase* plug, int idx, double value) {
  host.SetParameter(idx, static_cast<float>(plug->GetParam(idx)->NormalizeValue(value)));
}

// All four voices sound, each on its own channel with its own delay, and snapping is on: the floor benchmark's.
AEffect* LoadVst(TestHost& host) {
  AEffect* effect = host.Load(CreatePluginInstance);
  host.Start(kRate, kFrames);
  host.SetPlaying(true);
  IPluginBase* plug = VstPluginOf(effect);
  SetReal(host, plug, kParInt, 7);
  SetReal(host, plug, kParChan, 2);
  SetReal(host, plug, kV1Chan, 3);
  SetReal(host, plug, kV2Chan, 4);
  for (int i = 0; i < 4; ++i) {
    SetReal(host, plug, kV1Int1 + i, 3 + 2 * i);
    SetReal(host, plug, kV2Int1 + i, -12 + i);
  }
  SetReal(host, plug, kV2Algo, kAlgoZigZag);
  SetReal(host, plug, kPDelay, 14);
  SetReal(host, plug, kV1Delay, 11);
  SetReal(host, plug, kV2Delay, 13);
  SetReal(host, plug, kSnap, 1);
  SetReal(host, plug, kScale, 1);
  SetReal(host, plug, kTonic, 2);
  return effect;
}

// The program chunk: the bytes CLAP's state holds too, so the CLAP plug-in is put in exactly this state.
std::vector<uint8_t> VstState() {
  TestHost host(TestHost::Mode::kCounting);
  AEffect* effect = LoadVst(host);
  void* data = nullptr;
  const VstIntPtr size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

// ---- CLAP ----

struct ClapStream {
  clap_event_midi_t mMidi[kBlocksPerPattern][kEventsPerBlock] = {};

  ClapStream() {
    for (int b = 0; b < kBlocksPerPattern; ++b)
      for (int i = 0; i < kEventsPerBlock; ++i) {
        const Note n = PatternNote(b, i);
        clap_event_midi_t& e = mMidi[b][i];
        e.header = {sizeof(e), static_cast<uint32_t>(n.mOffset), CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
        e.data[0] = static_cast<uint8_t>(n.mOn ? 0x90 : 0x80);
        e.data[1] = n.mKey;
        e.data[2] = n.mOn ? 100 : 0;
      }
  }
};

// A host that takes MIDI out (as the VST host does), hands over prepared lists and counts what comes back.
class ClapBenchHost {
 public:
  ClapBenchHost() {
    mHost.clap_version = CLAP_VERSION;
    mHost.host_data = this;
    mHost.name = "Cyclochord bench";
    mHost.vendor = mHost.url = mHost.version = "";
    mHost.get_extension = GetExtension;
    mHost.request_restart = mHost.request_process = mHost.request_callback = [](const clap_host_t*) {};
    mIn.ctx = this;
    mIn.size = [](const clap_input_events_t* list) { return static_cast<ClapBenchHost*>(list->ctx)->mInCount; };
    mIn.get = [](const clap_input_events_t* list, uint32_t i) -> const clap_event_header_t* {
      const auto* self = static_cast<ClapBenchHost*>(list->ctx);
      return i < self->mInCount ? &self->mInEvents[i].header : nullptr;
    };
    mOut.ctx = this;
    mOut.try_push = [](const clap_output_events_t* list, const clap_event_header_t*) {
      ++static_cast<ClapBenchHost*>(list->ctx)->mEventsReceived;
      return true;
    };
    mTransport.header = {sizeof(mTransport), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
    mTransport.tempo = kTempo;
    mTransport.tsig_num = 4;
    mTransport.tsig_denom = 4;
    mTransport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
                       CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | CLAP_TRANSPORT_HAS_TIME_SIGNATURE |
                       CLAP_TRANSPORT_IS_PLAYING;
  }
  ~ClapBenchHost() {
    if (!mPlugin) return;
    mPlugin->stop_processing(mPlugin);
    mPlugin->deactivate(mPlugin);
    mPlugin->destroy(mPlugin);
  }
  ClapBenchHost(const ClapBenchHost&) = delete;
  ClapBenchHost& operator=(const ClapBenchHost&) = delete;

  // Created, in state, active and processing; false on any refusal.
  bool Load(const std::vector<uint8_t>& state) {
    mPlugin = ClapCreatePlugin(&mHost, CreatePluginInstance);
    if (!mPlugin || !mPlugin->init(mPlugin)) return false;
    const auto* ext = static_cast<const clap_plugin_state_t*>(mPlugin->get_extension(mPlugin, CLAP_EXT_STATE));
    if (!ext || state.empty()) return false;
    Reader reader{&state, 0};
    const clap_istream_t in = {&reader, Reader::Read};
    if (!ext->load(mPlugin, &in)) return false;
    // The same bytes must come back out, or the two builds would not be doing the same work.
    std::vector<uint8_t> saved;
    const clap_ostream_t out = {&saved, [](const clap_ostream_t* s, const void* buffer, uint64_t size) -> int64_t {
                                  const auto* bytes = static_cast<const uint8_t*>(buffer);
                                  static_cast<std::vector<uint8_t>*>(s->ctx)->insert(
                                      static_cast<std::vector<uint8_t>*>(s->ctx)->end(), bytes, bytes + size);
                                  return static_cast<int64_t>(size);
                                }};
    if (!ext->save(mPlugin, &out) || saved != state) return false;
    return mPlugin->activate(mPlugin, kRate, 1, kFrames) && mPlugin->start_processing(mPlugin);
  }

  // [timed] One block: the transport filled in as a host does per block, events handed over as prepared.
  void Process(const clap_event_midi_t* events, uint32_t count) {
    mInEvents = events;
    mInCount = count;
    mTransport.song_pos_seconds = static_cast<int64_t>(mSamplePos / kRate * CLAP_SECTIME_FACTOR + 0.5);
    const double beats = mSamplePos * kTempo / (60.0 * kRate);
    mTransport.song_pos_beats = static_cast<int64_t>(beats * CLAP_BEATTIME_FACTOR + 0.5);
    mTransport.bar_start = static_cast<int64_t>(std::floor(beats / 4.0) * 4.0 * CLAP_BEATTIME_FACTOR);
    mProcess.steady_time = static_cast<int64_t>(mSamplePos);
    mProcess.frames_count = kFrames;
    mProcess.transport = &mTransport;
    mProcess.in_events = &mIn;
    mProcess.out_events = &mOut;
    mPlugin->process(mPlugin, &mProcess);
    mSamplePos += kFrames;
  }

  std::size_t mEventsReceived = 0;

 private:
  struct Reader {
    const std::vector<uint8_t>* mBytes;
    size_t mDone;
    static int64_t CLAP_ABI Read(const clap_istream_t* s, void* buffer, uint64_t size) {
      auto* r = static_cast<Reader*>(s->ctx);
      const size_t n = std::min<size_t>(static_cast<size_t>(size), r->mBytes->size() - r->mDone);
      std::memcpy(buffer, r->mBytes->data() + r->mDone, n);
      r->mDone += n;
      return static_cast<int64_t>(n);
    }
  };

  static const void* CLAP_ABI GetExtension(const clap_host_t*, const char* id) {
    static const clap_host_note_ports_t kNotePorts = {[](const clap_host_t*) { return CLAP_NOTE_DIALECT_MIDI; },
                                                      [](const clap_host_t*, uint32_t) {}};
    return id && std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0 ? &kNotePorts : nullptr;
  }

  clap_host_t mHost = {};
  const clap_plugin_t* mPlugin = nullptr;
  clap_input_events_t mIn = {};
  clap_output_events_t mOut = {};
  const clap_event_midi_t* mInEvents = nullptr;
  uint32_t mInCount = 0;
  clap_event_transport_t mTransport = {};
  clap_process_t mProcess = {};
  double mSamplePos = 0.0;
};

// ---- the runs ----

const std::vector<uint8_t>& State() {
  static const std::vector<uint8_t> state = VstState();
  return state;
}

// Warms up over one pattern, then times one block per iteration; reports events out per block.
template <class Block>
void RunBlocks(benchmark::State& state, const std::size_t& received, Block block) {
  for (int b = 0; b < kBlocksPerPattern; ++b) block(b);
  const std::size_t before = received;
  int b = 0;
  for (auto _ : state) {
    block(b);
    b = (b + 1) % kBlocksPerPattern;
  }
  state.counters["out/block"] = static_cast<double>(received - before) / static_cast<double>(state.iterations());
}

void Vst(benchmark::State& state, bool withNotes) {
  static VstStream stream;
  TestHost host(TestHost::Mode::kCounting);
  LoadVst(host);
  RunBlocks(state, host.mEventsReceived, [&](int b) {
    if (withNotes) host.SendEvents(stream.mLists[b].Get());
    host.Process(kFrames);
  });
}

void Clap(benchmark::State& state, bool withNotes) {
  static ClapStream stream;
  ClapBenchHost host;
  if (!host.Load(State())) {
    state.SkipWithError("the CLAP plug-in could not be put in the VST plug-in's state");
    return;
  }
  RunBlocks(state, host.mEventsReceived,
            [&](int b) { host.Process(stream.mMidi[b], withNotes ? kEventsPerBlock : 0); });
}

void BM_VstEmptyBlock(benchmark::State& state) { Vst(state, false); }
void BM_ClapEmptyBlock(benchmark::State& state) { Clap(state, false); }
void BM_VstNoteBlock(benchmark::State& state) { Vst(state, true); }
void BM_ClapNoteBlock(benchmark::State& state) { Clap(state, true); }
BENCHMARK(BM_VstEmptyBlock)->Apply(FloorRepetitions);
BENCHMARK(BM_ClapEmptyBlock)->Apply(FloorRepetitions);
BENCHMARK(BM_VstNoteBlock)->Apply(FloorRepetitions);
BENCHMARK(BM_ClapNoteBlock)->Apply(FloorRepetitions);

void PrintFormatRatios(const FloorRatioReporter& reporter) {
  std::printf("\nCLAP process / VST processing, CPU time per block (VST is the floor):\n");
  reporter.PrintRatio("empty 512-frame block", "BM_ClapEmptyBlock", "BM_VstEmptyBlock");
  reporter.PrintRatio("512 frames, 16 note events in", "BM_ClapNoteBlock", "BM_VstNoteBlock");
  // Equal counts say both did the same work.
  for (const char* name : {"BM_VstNoteBlock", "BM_ClapNoteBlock"})
    std::printf("%-20s median %.2f events out per block\n", name, reporter.Counter(name, "median", "out/block"));
}
}  // namespace

int main(int argc, char** argv) { return RunWithRatios(argc, argv, PrintFormatRatios); }

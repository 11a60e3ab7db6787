// LV2 run() against the VST processing call on the same sessions, both builds loaded from their files and
// driven with inputs prepared ahead, so the host's own work is only handing them over and counting the
// output. Prints CPU-time ratios (LV2 / VST) of the minimum and the median of the repetitions.
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>

#include "FloorRatio.h"
#include "LilvHost.h"
#include "Sessions.h"
#include "VstAbi.h"

namespace {
constexpr double kRate = 48000.0;
const char kUri[] = "https://larkspire.example/plugins/cyclochord";

// ---- LV2: one prepared input sequence per cycle ----

class Lv2Player {
 public:
  Lv2Player(LilvHost* host, const Session& session) : mHost(host), mSession(session), mMaxBlock(session.mMaxBlock) {
    UridMap& u = host->Urids();
    mOptions[0] = {LV2_OPTIONS_INSTANCE, 0, u.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), u.Map(LV2_ATOM__Int),
                   &mMaxBlock};
    mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mMapFeature = {LV2_URID__map, u.MapFeature()};
    mOptionsFeature = {LV2_OPTIONS__options, mOptions};
    const LV2_Feature* features[] = {&mMapFeature, &mOptionsFeature, nullptr};
    mInstance = lilv_plugin_instantiate(host->Plugin(), kRate, features);
    if (!mInstance) return;
    const uint32_t nPorts = lilv_plugin_get_num_ports(host->Plugin());
    mControls.assign(nPorts, 0.0f);
    lilv_plugin_get_port_ranges_float(host->Plugin(), nullptr, nullptr, mControls.data());
    for (uint32_t i = 2; i < nPorts; ++i) lilv_instance_connect_port(mInstance, i, &mControls[i]);
    mOut.assign(16384, 0);
    lilv_instance_connect_port(mInstance, 1, mOut.data());
    mMidi = u.Map(LV2_MIDI__MidiEvent);
    Prepare();
    lilv_instance_activate(mInstance);
  }
  ~Lv2Player() {
    if (!mInstance) return;
    lilv_instance_deactivate(mInstance);
    lilv_instance_free(mInstance);
  }
  bool Ok() const { return mInstance != nullptr; }

  // [timed] The whole session; returns the events the plug-in sent.
  int64_t Play() {
    int64_t events = 0;
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(mOut.data());
    for (size_t c = 0; c < mSession.mCycles.size(); ++c) {
      for (const auto& [port, value] : mParams[c]) mControls[port] = value;
      lilv_instance_connect_port(mInstance, 0, mInputs[c].data());
      out->atom.size = static_cast<uint32_t>(mOut.size() * sizeof(uint64_t) - sizeof(LV2_Atom));
      lilv_instance_run(mInstance, static_cast<uint32_t>(mSession.mCycles[c]));
      LV2_ATOM_SEQUENCE_FOREACH(out, ev) events += ev->body.type == mMidi;
    }
    return events;
  }

 private:
  void Prepare() {
    UridMap& u = mHost->Urids();
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, u.MapFeature());
    size_t nextMidi = 0, nextTransport = 0, nextParam = 0;
    int64_t start = 0;
    for (int frames : mSession.mCycles) {
      const int64_t end = start + frames;
      mParams.emplace_back();
      for (; nextParam < mSession.mParams.size() && mSession.mParams[nextParam].mFrame <= start; ++nextParam) {
        LilvNode* symbol = lilv_new_string(mHost->World(), mSession.mParams[nextParam].mName.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(mHost->Plugin(), symbol);
        lilv_node_free(symbol);
        if (port) mParams.back().emplace_back(lilv_port_get_index(mHost->Plugin(), port), mSession.mParams[nextParam].mValue);
      }
      mInputs.emplace_back(8192, 0);
      lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(mInputs.back().data()), 8192 * sizeof(uint64_t));
      LV2_Atom_Forge_Frame sequence;
      lv2_atom_forge_sequence_head(&forge, &sequence, 0);
      while (true) {
        const bool t = nextTransport < mSession.mTransport.size() && mSession.mTransport[nextTransport].mFrame < end;
        const bool m = nextMidi < mSession.mMidi.size() && mSession.mMidi[nextMidi].mFrame < end;
        if (!t && !m) break;
        if (t && (!m || mSession.mTransport[nextTransport].mFrame <= mSession.mMidi[nextMidi].mFrame)) {
          const SessionTransport& p = mSession.mTransport[nextTransport++];
          LV2_Atom_Forge_Frame object;
          lv2_atom_forge_frame_time(&forge, p.mFrame - start);
          lv2_atom_forge_object(&forge, &object, 0, u.Map(LV2_TIME__Position));
          lv2_atom_forge_key(&forge, u.Map(LV2_TIME__frame));
          lv2_atom_forge_long(&forge, static_cast<int64_t>(p.mPosition.mFrame));
          lv2_atom_forge_key(&forge, u.Map(LV2_TIME__speed));
          lv2_atom_forge_float(&forge, static_cast<float>(p.mPosition.mSpeed));
          lv2_atom_forge_key(&forge, u.Map(LV2_TIME__beatsPerMinute));
          lv2_atom_forge_float(&forge, static_cast<float>(p.mPosition.mTempo));
          lv2_atom_forge_pop(&forge, &object);
        } else {
          const SessionMidi& midi = mSession.mMidi[nextMidi++];
          lv2_atom_forge_frame_time(&forge, midi.mFrame - start);
          lv2_atom_forge_atom(&forge, static_cast<uint32_t>(midi.mBytes.size()), mMidi);
          lv2_atom_forge_write(&forge, midi.mBytes.data(), static_cast<uint32_t>(midi.mBytes.size()));
        }
      }
      lv2_atom_forge_pop(&forge, &sequence);
      start = end;
    }
  }

  LilvHost* mHost;
  const Session& mSession;
  int32_t mMaxBlock;
  LilvInstance* mInstance = nullptr;
  LV2_Options_Option mOptions[2];
  LV2_Feature mMapFeature, mOptionsFeature;
  std::vector<float> mControls;
  std::vector<std::vector<uint64_t>> mInputs;
  std::vector<std::vector<std::pair<uint32_t, float>>> mParams;
  std::vector<uint64_t> mOut;
  LV2_URID mMidi = 0;
};

// ---- VST: one prepared event list per block, split where the LV2 wrapper splits ----

class VstPlayer {
 public:
  VstPlayer(LilvHost* ranges, const Session& session) {
    mModule = dlopen(CYCLOCHORD_VST_MODULE, RTLD_NOW | RTLD_LOCAL);
    auto entry = mModule ? reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(mModule, "VSTPluginMain")) : nullptr;
    mEffect = entry ? entry(Callback) : nullptr;
    if (!mEffect) return;
    mEffect->user = this;
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    Dispatch(effSetBlockSize, 0, session.mMaxBlock);
    Dispatch(effMainsChanged, 0, 1);
    mTime.sampleRate = kRate;
    for (auto& b : mBuffers) b.assign(static_cast<size_t>(session.mMaxBlock), 0.0f);
    Prepare(ranges, session);
  }
  ~VstPlayer() {
    if (mEffect) {
      Dispatch(effMainsChanged, 0, 0);
      Dispatch(effClose);
    }
    if (mModule) dlclose(mModule);
  }
  bool Ok() const { return mEffect != nullptr; }

  // [timed]
  int64_t Play() {
    mEvents = 0;
    float* in[2] = {mBuffers[0].data(), mBuffers[1].data()};
    float* out[2] = {mBuffers[2].data(), mBuffers[3].data()};
    for (Block& block : mBlocks) {
      for (const auto& [index, value] : block.mParams) mEffect->setParameter(mEffect, index, value);
      mTime.samplePos = block.mSamplePos;
      mTime.tempo = block.mTempo;
      mTime.flags = kVstTempoValid | (block.mPlaying ? kVstTransportPlaying : 0);
      if (block.mList) Dispatch(effProcessEvents, 0, 0, block.mList);
      mEffect->processReplacing(mEffect, in, out, block.mFrames);
    }
    return mEvents;
  }

 private:
  struct Block {
    int mFrames;
    double mSamplePos, mTempo;
    bool mPlaying;
    std::vector<std::pair<int, float>> mParams;
    std::vector<VstMidiEvent> mMidi;
    std::vector<uint8_t> mListStorage;  // a VstEvents header with as many pointers as events
    VstEvents* mList = nullptr;
  };

  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    auto* self = effect && effect->user ? static_cast<VstPlayer*>(effect->user) : nullptr;
    if (opcode == audioMasterVersion) return 2400;
    if (!self) return 0;
    if (opcode == audioMasterGetTime) return reinterpret_cast<VstIntPtr>(&self->mTime);
    if (opcode == audioMasterProcessEvents) {
      const auto* events = static_cast<const VstEvents*>(ptr);
      VstEvent* const* list = events->events;
      for (VstInt32 i = 0; i < events->numEvents; ++i) self->mEvents += list[i] && list[i]->type == kVstMidiType;
      return 1;
    }
    return 0;
  }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
  }
  int ParamIndex(const std::string& name) {
    for (int i = 0; i < mEffect->numParams; ++i) {
      char text[256] = {};
      Dispatch(effGetParamName, i, 0, text);
      if (name == text) return i;
    }
    return -1;
  }

  void Prepare(LilvHost* ranges, const Session& session) {
    const LilvPlugin* plugin = ranges->Plugin();
    std::vector<float> mins(lilv_plugin_get_num_ports(plugin)), maxs(mins.size());
    lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), nullptr);
    std::vector<int64_t> starts;
    int64_t at = 0;
    for (int frames : session.mCycles) {
      starts.push_back(at);
      at += frames;
    }
    for (const SessionTransport& t : session.mTransport) starts.push_back(t.mFrame);
    starts.push_back(at);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    HostPosition position = {0, 0, 0};
    int64_t positionFrame = 0;
    size_t nextMidi = 0, nextTransport = 0, nextParam = 0;
    for (size_t s = 0; s + 1 < starts.size(); ++s) {
      for (int64_t b = starts[s]; b < starts[s + 1]; b += session.mMaxBlock) {
        const int64_t end = std::min(b + session.mMaxBlock, starts[s + 1]);
        Block block;
        block.mFrames = static_cast<int>(end - b);
        for (; nextParam < session.mParams.size() && session.mParams[nextParam].mFrame <= b; ++nextParam) {
          const SessionParam& p = session.mParams[nextParam];
          LilvNode* symbol = lilv_new_string(ranges->World(), p.mName.c_str());
          const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, symbol);
          lilv_node_free(symbol);
          const uint32_t i = lilv_port_get_index(plugin, port);
          block.mParams.emplace_back(ParamIndex(p.mName), (p.mValue - mins[i]) / (maxs[i] - mins[i]));
        }
        for (; nextTransport < session.mTransport.size() && session.mTransport[nextTransport].mFrame <= b; ++nextTransport) {
          position = session.mTransport[nextTransport].mPosition;
          positionFrame = session.mTransport[nextTransport].mFrame;
        }
        block.mSamplePos = position.mFrame + static_cast<double>(b - positionFrame) * position.mSpeed;
        block.mTempo = position.mTempo > 0 ? position.mTempo : 120.0;
        block.mPlaying = position.mSpeed != 0.0;
        for (; nextMidi < session.mMidi.size() && session.mMidi[nextMidi].mFrame < end; ++nextMidi) {
          VstMidiEvent midi = {};
          midi.type = kVstMidiType;
          midi.byteSize = sizeof(VstMidiEvent);
          midi.deltaFrames = static_cast<VstInt32>(session.mMidi[nextMidi].mFrame - b);
          for (size_t k = 0; k < session.mMidi[nextMidi].mBytes.size() && k < 4; ++k)
            midi.midiData[k] = static_cast<char>(session.mMidi[nextMidi].mBytes[k]);
          block.mMidi.push_back(midi);
        }
        mBlocks.push_back(std::move(block));
      }
    }
    for (Block& block : mBlocks) {
      if (block.mMidi.empty()) continue;
      block.mListStorage.assign(sizeof(VstEvents) + block.mMidi.size() * sizeof(VstEvent*), 0);
      block.mList = reinterpret_cast<VstEvents*>(block.mListStorage.data());
      block.mList->numEvents = static_cast<VstInt32>(block.mMidi.size());
      VstEvent** list = block.mList->events;
      for (size_t k = 0; k < block.mMidi.size(); ++k) list[k] = reinterpret_cast<VstEvent*>(&block.mMidi[k]);
    }
  }

  void* mModule = nullptr;
  AEffect* mEffect = nullptr;
  VstTimeInfo mTime = {};
  int64_t mEvents = 0;
  std::vector<float> mBuffers[4];
  std::vector<Block> mBlocks;
};

const std::vector<Session>& BenchSessions() {
  static const std::vector<Session> sessions = ComparisonSessions();
  return sessions;
}

LilvHost& Host() {
  static LilvHost host(CYCLOCHORD_LV2_BUNDLE_DIR, kUri);
  return host;
}

template <typename Player>
void BM_Session(benchmark::State& state) {
  const Session& session = BenchSessions()[static_cast<size_t>(state.range(0))];
  Player player(&Host(), session);
  if (!player.Ok()) {
    state.SkipWithError("cannot load the plug-in");
    return;
  }
  int64_t events = 0;
  for (auto _ : state) events = player.Play();
  state.counters["events"] = static_cast<double>(events);
  state.SetLabel(session.mName);
}

void BM_LV2Run(benchmark::State& state) { BM_Session<Lv2Player>(state); }
void BM_VstProcess(benchmark::State& state) { BM_Session<VstPlayer>(state); }

void Sessions(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < static_cast<int>(BenchSessions().size()); ++i) b->Arg(i);
  FloorRepetitions(b);
}
BENCHMARK(BM_VstProcess)->Apply(Sessions);
BENCHMARK(BM_LV2Run)->Apply(Sessions);

// The VST build is the floor: the same sessions through the same plug-in, handed over the other way.
void PrintFormatRatios(const FloorRatioReporter& reporter) {
  std::printf("\nLV2 run() / VST processing, CPU time of a whole session:\n");
  for (size_t i = 0; i < BenchSessions().size(); ++i) {
    const std::string arg = "/" + std::to_string(i);
    reporter.PrintRatio(std::string("session ") + BenchSessions()[i].mName + ", LV2 run() vs VST", "BM_LV2Run" + arg,
                        "BM_VstProcess" + arg);
  }
}
}  // namespace

int main(int argc, char** argv) { return RunWithRatios(argc, argv, PrintFormatRatios); }

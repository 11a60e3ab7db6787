// A CLAP host session read from the input, through the test host and the linked entry: blocks of any size with
// events of every kind and shape, transports that change inside blocks, reset, stop and start, reactivation,
// parameter flushes and state saved and loaded over streams that stall, end early or fail. After every call
// the host's rule checks and the output are checked; a session ends with a stopped block and no note sounding.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ClapEntry.h"
#include "ClapTestHost.h"
#include "FuzzFail.h"
#include "FuzzInput.h"

using namespace clap_test;

namespace {

const clap_plugin_entry_t kEntry = {CLAP_VERSION, ClapEntryInit, ClapEntryDeinit, ClapEntryGetFactory};

// Making the plug-in is most of an input's cost, and a stretch that moves notes ends with the plug-in's
// whole-structure check of its queue: sessions are kept short.
constexpr uint32_t kSteps = 64;
constexpr uint32_t kMaxStretches = 32;
// A block longer than activation allowed runs as up to this many stretches.
constexpr uint32_t kLongBlockStretches = 8;

struct Param {
  clap_id mId;
  double mMin, mMax;
};

class Session {
 public:
  explicit Session(FuzzInput& in) : mIn(in), mHost(&kEntry, "Cyclochord.clap") {
    static const uint32_t kDialects[] = {CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI, CLAP_NOTE_DIALECT_MIDI,
                                         CLAP_NOTE_DIALECT_CLAP};
    const uint32_t dialects = kDialects[in.Byte() % 3];
    mAsNotes = !(dialects & CLAP_NOTE_DIALECT_MIDI);
    mHost.SetNoteDialects(dialects);
    if (!mHost.Load()) FuzzFail("the plug-in did not load");
    Check("load");
    // The same for every fresh plug-in: asked of the first one and checked there.
    static const std::vector<Param> params = ReadParams();
    mParams = params;
    mTransport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_IS_PLAYING;
    mTransport.tempo = 120.0;
    Activate();
  }

  void Run() {
    for (uint32_t step = 0; step < kSteps && mStretches < kMaxStretches && !mIn.Empty(); ++step) {
      switch (mIn.Byte() % 16) {
        case 0: mHost.Reset(); Check("reset"); break;
        case 1:
          mHost.StopProcessing();
          Check("stop_processing");
          if (!mHost.StartProcessing()) FuzzFail("start_processing refused");
          Check("start_processing");
          break;
        case 2: Reactivate(); break;
        case 3: FlushParams(); break;
        case 4: SaveAndReload(); break;
        case 5: LoadBytes(); break;
        case 6: ChangeTransport(); break;
        case 7: ParamText(); break;
        default: Block(); break;
      }
    }
    EndSession();
  }

 private:
  std::vector<Param> ReadParams() {
    std::vector<Param> params;
    for (uint32_t i = 0, n = mHost.ParamCount(); i < n; ++i) {
      clap_param_info_t info;
      if (!mHost.ParamInfo(i, &info)) FuzzFail("parameter %u of %u has no info", i, n);
      params.push_back({info.id, info.min_value, info.max_value});
    }
    Check("parameter info");
    return params;
  }

  void Check(const char* what) {
    const std::vector<std::string> violations = mHost.Violations();
    if (violations.empty()) return;
    std::string all;
    for (const std::string& v : violations) all += "\n  " + v;
    FuzzFail("after %s the host recorded:%s", what, all.c_str());
  }

  void Activate() {
    static const double kRates[] = {44100.0, 48000.0, 96000.0, 8000.0, 192000.0, 1.0};
    const double rate = kRates[mIn.Byte() % 6];
    const uint8_t shape = mIn.Byte();
    mMaxFrames = shape < 240 ? 1 + static_cast<uint32_t>(mIn.Below(4096)) : 1 + static_cast<uint32_t>(mIn.Below(16));
    if (!mHost.Activate(rate, 1, mMaxFrames)) FuzzFail("activate(%g, 1, %u) refused", rate, mMaxFrames);
    Check("activate");
    if (!mHost.StartProcessing()) FuzzFail("start_processing refused");
    Check("start_processing");
  }

  void Reactivate() {
    mHost.StopProcessing();
    mHost.Deactivate();
    Check("deactivate");
    // Inactive, flush is the main thread's and takes effect at activation.
    if (mIn.Bool()) FlushParams();
    Activate();
  }

  double PlainValue(const Param* param) {
    switch (mIn.Byte() % 8) {
      case 0: return std::numeric_limits<double>::quiet_NaN();
      case 1: return std::numeric_limits<double>::infinity();
      case 2: return -std::numeric_limits<double>::infinity();
      case 3: return mIn.Double();
      case 4: return param ? param->mMax + 1.0 + mIn.Byte() : 1e9;
      case 5: return param ? param->mMin - 1.0 - mIn.Byte() : -1e9;
      default: return param ? param->mMin + (param->mMax - param->mMin) * (mIn.U16() / 65535.0) : 0.0;
    }
  }

  clap_id ParamId(const Param** param) {
    *param = nullptr;
    if (mParams.empty() || mIn.Byte() < 24) {
      // Ids are not dense: a made-up one may still name a parameter.
      const clap_id id = mIn.Bool() ? mIn.U32() : static_cast<clap_id>(mParams.size() + mIn.Byte());
      for (const Param& p : mParams)
        if (p.mId == id) *param = &p;
      return id;
    }
    *param = &mParams[static_cast<size_t>(mIn.Below(static_cast<int>(mParams.size())))];
    return (*param)->mId;
  }

  // An event's bytes: size is what the header claims and what the host holds; a smaller claim cuts the body.
  template <class T>
  ClapEvent Shaped(T body, uint16_t type, uint32_t time) {
    uint32_t size = sizeof(T);
    const uint8_t shape = mIn.Byte();
    if (shape >= 240) size = 16 + static_cast<uint32_t>(mIn.Below(static_cast<int>(sizeof(T)) - 16 + 1));
    else if (shape >= 230) size = sizeof(T) + static_cast<uint32_t>(mIn.Below(65));
    std::vector<uint64_t> words((std::max<size_t>(size, sizeof(T)) + 7) / 8, 0);
    std::memcpy(words.data(), &body, sizeof(T));
    auto* header = reinterpret_cast<clap_event_header_t*>(words.data());
    header->size = size;
    header->time = time;
    header->space_id = mIn.Byte() < 250 ? CLAP_CORE_EVENT_SPACE_ID : mIn.U16();
    header->type = type;
    header->flags = mIn.Byte() & 3;
    return ClapEvent(header);
  }

  clap_event_transport_t RandomTransport() {
    clap_event_transport_t t = mTransport;
    switch (mIn.Byte() % 6) {
      case 0: t.flags ^= CLAP_TRANSPORT_IS_PLAYING; break;
      case 1: t.flags = mIn.U32() & 0xFF; break;
      case 2: t.tempo = mIn.Real(1.0, 400.0); break;
      case 3:
        t.flags |= CLAP_TRANSPORT_HAS_BEATS_TIMELINE | CLAP_TRANSPORT_HAS_TIME_SIGNATURE;
        t.song_pos_beats = static_cast<int64_t>(mIn.U32()) * (mIn.Bool() ? 256 : -256);
        t.bar_start = mIn.I32();
        t.tsig_num = mIn.U16();
        t.tsig_denom = mIn.U16();
        break;
      case 4:
        t.flags |= CLAP_TRANSPORT_HAS_SECONDS_TIMELINE;
        t.song_pos_seconds = static_cast<int64_t>(mIn.U32()) << (mIn.Byte() % 28);
        break;
      default:
        t.flags |= CLAP_TRANSPORT_IS_LOOP_ACTIVE;
        t.loop_start_beats = mIn.I32();
        t.loop_end_beats = mIn.I32();
        break;
    }
    return t;
  }

  ClapEvent RandomEvent(uint32_t time) {
    const uint8_t kind = mIn.Byte();
    if (kind < 90) {
      clap_event_note_t note = {};
      note.note_id = mIn.Bool() ? -1 : mIn.I32();
      note.port_index = static_cast<int16_t>(mIn.Byte() < 240 ? 0 : mIn.U16());
      note.channel = static_cast<int16_t>(mIn.Byte() < 220 ? mIn.Below(17) - 1 : mIn.U16());
      note.key = static_cast<int16_t>(mIn.Byte() < 220 ? mIn.Below(129) - 1 : mIn.U16());
      static const double kVelocities[] = {0.0, 1.0, -1.0, 2.0, std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::infinity()};
      const uint8_t v = mIn.Byte();
      note.velocity = v < 200 ? v / 199.0 : kVelocities[v % 6];
      static const uint16_t kTypes[] = {CLAP_EVENT_NOTE_ON, CLAP_EVENT_NOTE_ON, CLAP_EVENT_NOTE_OFF, CLAP_EVENT_NOTE_CHOKE,
                                        CLAP_EVENT_NOTE_END};
      return Shaped(note, kTypes[mIn.Byte() % 5], time);
    }
    if (kind < 150) {
      clap_event_midi_t midi = {};
      midi.port_index = static_cast<uint16_t>(mIn.Byte() < 240 ? 0 : mIn.U16());
      if (mIn.Bool()) {
        static const uint8_t kKinds[] = {0x90, 0x90, 0x80, 0xB0};
        midi.data[0] = static_cast<uint8_t>(kKinds[mIn.Byte() % 4] | (mIn.Byte() & 0x0F));
        midi.data[1] = static_cast<uint8_t>((midi.data[0] & 0xF0) == 0xB0 ? 123 : mIn.Byte() & 0x7F);
        midi.data[2] = mIn.Byte() & 0x7F;
      } else {
        for (uint8_t& b : midi.data) b = mIn.Byte();
      }
      return Shaped(midi, CLAP_EVENT_MIDI, time);
    }
    if (kind < 170) {
      const Param* param = nullptr;
      clap_event_param_value_t value = {};
      value.param_id = ParamId(&param);
      value.note_id = -1;
      value.port_index = value.channel = value.key = -1;
      value.value = PlainValue(param);
      return Shaped(value, CLAP_EVENT_PARAM_VALUE, time);
    }
    if (kind < 185) {
      size_t n = 0;
      const uint8_t* bytes = mIn.Bytes(mIn.Byte() % 40, &n);
      mSysex.emplace_back(bytes, bytes + n);
      clap_event_midi_sysex_t sysex = {};
      sysex.buffer = n ? mSysex.back().data() : nullptr;
      sysex.size = static_cast<uint32_t>(n);
      return Shaped(sysex, CLAP_EVENT_MIDI_SYSEX, time);
    }
    if (kind < 200) return Shaped(RandomTransport(), CLAP_EVENT_TRANSPORT, time);
    // Everything else a host may send: kinds this plug-in takes no notice of, and ones nobody knows.
    clap_event_param_mod_t other = {};
    other.param_id = mIn.U32();
    other.amount = mIn.Double();
    uint16_t type = mIn.Bool() ? static_cast<uint16_t>(mIn.Below(13)) : mIn.U16();
    // A sysex's pointer must point at bytes: the host copies them.
    if (type == CLAP_EVENT_MIDI_SYSEX) type = CLAP_EVENT_MIDI2;
    return Shaped(other, type, time);
  }

  void Block() {
    const uint8_t shape = mIn.Byte();
    uint32_t frames;
    if (shape < 200) frames = 1 + static_cast<uint32_t>(mIn.Below(static_cast<int>(mMaxFrames)));
    else if (shape < 250) frames = mMaxFrames + 1 + static_cast<uint32_t>(mIn.Below(4 * static_cast<int>(mMaxFrames)));
    else frames = 1 + mIn.U16() % (kLongBlockStretches * mMaxFrames);  // many stretches
    mSysex.clear();
    const int count = mIn.Byte() < 250 ? mIn.Below(24) : mIn.Below(400);
    const bool inOrder = mIn.Byte() < 200;
    std::vector<ClapEvent> events;
    events.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      const uint8_t where = mIn.Byte();
      const uint32_t time = where < 230 ? static_cast<uint32_t>(mIn.Below(static_cast<int>(frames))) : mIn.U32();
      events.push_back(RandomEvent(time));
    }
    if (inOrder)
      std::stable_sort(events.begin(), events.end(),
                       [](const ClapEvent& a, const ClapEvent& b) { return a.Header().time < b.Header().time; });
    // A sysex that claims bytes it does not point at.
    for (ClapEvent& e : events)
      if (e.Is(CLAP_EVENT_MIDI_SYSEX) && e.Header().size >= sizeof(clap_event_midi_sysex_t) && mIn.Byte() >= 250) {
        e.As<clap_event_midi_sysex_t>().buffer = nullptr;
        e.As<clap_event_midi_sysex_t>().size = 1 + mIn.Byte();
      }
    const uint8_t transport = mIn.Byte();
    const clap_event_transport_t t = transport < 200 ? mTransport : RandomTransport();
    const ProcessResult result = mHost.Process(frames, events, transport < 16 ? nullptr : &t);
    Check("process");
    CheckOutput(result.out, frames, events);
    // A transport event inside the block starts a stretch of its own.
    mStretches += (frames + mMaxFrames - 1) / mMaxFrames;
    for (const ClapEvent& e : events) mStretches += e.Is(CLAP_EVENT_TRANSPORT) ? 1 : 0;
  }

  void CheckOutput(const std::vector<ClapEvent>& out, uint32_t frames, const std::vector<ClapEvent>& in) {
    uint32_t last = 0;
    for (const ClapEvent& e : out) {
      const clap_event_header_t& h = e.Header();
      if (frames && h.time >= frames) FuzzFail("output event at %u of a %u-frame block", h.time, frames);
      if (h.time < last) FuzzFail("output event at %u after one at %u", h.time, last);
      last = h.time;
      if (h.space_id != CLAP_CORE_EVENT_SPACE_ID) FuzzFail("output event in space %u", h.space_id);
      switch (h.type) {
        case CLAP_EVENT_MIDI: {
          if (mAsNotes) FuzzFail("MIDI out to a host that takes note events only");
          const uint8_t* d = e.As<clap_event_midi_t>().data;
          const int kind = d[0] & 0xF0;
          if (kind == 0x90 || kind == 0x80) {
            if (d[1] > 127 || d[2] > 127) FuzzFail("note message %02X %02X %02X out", d[0], d[1], d[2]);
            mSounding[d[0] & 0x0F][d[1]] = kind == 0x90 && d[2] > 0;
          }
          break;
        }
        case CLAP_EVENT_NOTE_ON:
        case CLAP_EVENT_NOTE_OFF: {
          if (!mAsNotes) FuzzFail("note events out to a host that takes MIDI");
          const auto& n = e.As<clap_event_note_t>();
          if (n.key < 0 || n.key > 127 || n.channel < 0 || n.channel > 15 || !(n.velocity >= 0.0 && n.velocity <= 1.0))
            FuzzFail("note event key %d channel %d velocity %g out", n.key, n.channel, n.velocity);
          mSounding[n.channel][n.key] = h.type == CLAP_EVENT_NOTE_ON;
          break;
        }
        case CLAP_EVENT_MIDI_SYSEX: {
          // Passed through: the bytes of one that came in with this block.
          const std::vector<uint8_t>& bytes = e.Sysex();
          const bool found = std::any_of(in.begin(), in.end(), [&](const ClapEvent& i) {
            return i.Is(CLAP_EVENT_MIDI_SYSEX) && i.Header().size >= sizeof(clap_event_midi_sysex_t) &&
                   i.Sysex() == bytes;
          });
          if (bytes.empty() || !found) FuzzFail("a sysex of %zu bytes out that did not come in", bytes.size());
          break;
        }
        case CLAP_EVENT_PARAM_VALUE:
        case CLAP_EVENT_PARAM_GESTURE_BEGIN:
        case CLAP_EVENT_PARAM_GESTURE_END:
          break;
        default:
          FuzzFail("output event of type %u", h.type);
      }
    }
  }

  void FlushParams() {
    std::vector<ClapEvent> events;
    const int count = mIn.Below(8);
    for (int i = 0; i < count; ++i) events.push_back(RandomEvent(mIn.Byte()));
    const std::vector<ClapEvent> out = mHost.Flush(events);
    Check("params.flush");
    for (const ClapEvent& e : out)
      if (!e.Is(CLAP_EVENT_PARAM_VALUE) && !e.Is(CLAP_EVENT_PARAM_GESTURE_BEGIN) && !e.Is(CLAP_EVENT_PARAM_GESTURE_END))
        FuzzFail("params.flush sent an event of type %u", e.Header().type);
  }

  std::vector<double> Values() {
    std::vector<double> values;
    for (const Param& p : mParams) {
      double v = 0.0;
      if (!mHost.ParamValue(p.mId, &v)) FuzzFail("parameter %u has no value", p.mId);
      if (!(v >= p.mMin && v <= p.mMax)) FuzzFail("parameter %u is %g, outside %g..%g", p.mId, v, p.mMin, p.mMax);
      values.push_back(v);
    }
    Check("params.get_value");
    return values;
  }

  void CheckValues(const std::vector<double>& expected, const char* after) {
    const std::vector<double> now = Values();
    for (size_t i = 0; i < now.size(); ++i)
      if (!(now[i] == expected[i]))
        FuzzFail("after %s parameter %u is %g, not %g", after, mParams[i].mId, now[i], expected[i]);
  }

  StreamBehaviour Stalling() {
    StreamBehaviour b;
    if (mIn.Bool()) b.maxPerCall = 1 + mIn.Byte() % 64;
    return b;
  }

  // Saved state loads back to the same values over any stream that delivers it all; a stream that fails changes
  // nothing, and one that ends early is no success and leaves what it did not hold alone.
  void SaveAndReload() {
    std::vector<uint8_t> saved;
    if (!mHost.SaveState(&saved, Stalling())) FuzzFail("state.save failed on a working stream");
    Check("state.save");
    const std::vector<double> values = Values();

    std::vector<uint8_t> partial;
    StreamBehaviour broken = Stalling();
    const int64_t cut = saved.empty() ? 0 : mIn.Below(static_cast<int>(saved.size()));
    (mIn.Bool() ? broken.endAfter : broken.failAfter) = cut;
    if (mHost.SaveState(&partial, broken)) FuzzFail("state.save succeeded on a stream that stopped at %lld", static_cast<long long>(cut));
    Check("state.save on a broken stream");

    FlushParams();  // something to undo
    const std::vector<double> before = Values();
    StreamBehaviour reading = Stalling();
    const uint8_t how = mIn.Byte() % 3;
    if (how == 0) {
      reading.failAfter = cut;
      if (mHost.LoadState(saved, reading)) FuzzFail("state.load succeeded on a stream that failed at %lld", static_cast<long long>(cut));
      Check("state.load on a failing stream");
      CheckValues(before, "a failed state.load");
    } else if (how == 1) {
      reading.endAfter = cut;
      if (mHost.LoadState(saved, reading))
        FuzzFail("state.load of %lld of %zu bytes succeeded", static_cast<long long>(cut), saved.size());
      Check("state.load of a cut stream");
      // Eight bytes a value, in id order, after an eight-byte head: one the cut left incomplete keeps its own.
      const std::vector<double> now = Values();
      const int64_t whole = cut < 8 ? 0 : (cut - 8) / 8;
      for (size_t i = 0; i < now.size(); ++i)
        if (mParams[i].mId >= whole && !(now[i] == before[i]))
          FuzzFail("state.load cut at byte %lld of %zu changed parameter %u from %g to %g", static_cast<long long>(cut),
                   saved.size(), mParams[i].mId, before[i], now[i]);
    }
    if (!mHost.LoadState(saved, Stalling())) FuzzFail("state.load of saved state failed");
    Check("state.load");
    CheckValues(values, "saving and loading the state");
  }

  void LoadBytes() {
    size_t n = 0;
    const uint8_t* bytes = mIn.Bytes(mIn.U16() % 1024, &n);
    const std::vector<uint8_t> state(bytes, bytes + n);
    StreamBehaviour b = Stalling();
    if (mIn.Byte() >= 200) b.failAfter = mIn.Below(static_cast<int>(n + 1));
    const std::vector<double> before = Values();
    if (mHost.LoadState(state, b) && b.failAfter >= 0) FuzzFail("state.load succeeded on a failing stream");
    Check("state.load of any bytes");
    if (b.failAfter >= 0) CheckValues(before, "a failed state.load");
    else Values();
  }

  void ChangeTransport() {
    mTransport = RandomTransport();
    // Mostly a steady playing transport, so that notes get far enough to sound.
    if (mIn.Byte() < 128) {
      mTransport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_IS_PLAYING;
      mTransport.tempo = mIn.Real(20.0, 300.0);
    }
  }

  void ParamText() {
    const Param* param = nullptr;
    const clap_id id = ParamId(&param);
    const double value = PlainValue(param);
    std::string text;
    if (mHost.ValueToText(id, value, &text)) {
      if (!param) FuzzFail("value_to_text answers for unknown parameter %u", id);
      double back = 0.0;
      if (mHost.TextToValue(id, text, &back) && !(back >= param->mMin && back <= param->mMax))
        FuzzFail("text \"%s\" of parameter %u reads back as %g", text.c_str(), id, back);
    }
    size_t n = 0;
    const uint8_t* bytes = mIn.Bytes(mIn.Byte() % 24, &n);
    double any = 0.0;
    if (mHost.TextToValue(id, std::string(reinterpret_cast<const char*>(bytes), n), &any) && param &&
        !(any >= param->mMin && any <= param->mMax))
      FuzzFail("text of %zu bytes sets parameter %u to %g", n, id, any);
    Check("parameter text");
  }

  void EndSession() {
    clap_event_transport_t stopped = mTransport;
    stopped.flags &= ~CLAP_TRANSPORT_IS_PLAYING;
    // One stretch: the first ends every note, and a longer block would only repeat it.
    const uint32_t frames = std::min<uint32_t>(64, mMaxFrames);
    const ProcessResult result = mHost.Process(frames, {}, mIn.Bool() ? nullptr : &stopped);
    Check("the stopped block");
    CheckOutput(result.out, frames, {});
    for (int c = 0; c < 16; ++c)
      for (int k = 0; k < 128; ++k)
        if (mSounding[c][k]) FuzzFail("note %d on channel %d still sounds after the transport stopped", k, c + 1);
  }

  FuzzInput& mIn;
  ClapTestHost mHost;
  bool mAsNotes = false;
  std::vector<Param> mParams;
  uint32_t mMaxFrames = 512;
  uint32_t mStretches = 0;
  clap_event_transport_t mTransport = {};
  std::vector<std::vector<uint8_t>> mSysex;
  bool mSounding[16][128] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  Session session(in);
  session.Run();
  return 0;
}

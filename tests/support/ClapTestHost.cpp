// The CLAP test host: call checks, event lists, streams and the host extensions.
#include "ClapTestHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace clap_test {
namespace {

// Larger events than this are taken for garbage sizes.
constexpr uint32_t kMaxEventSize = 1u << 20;

uint32_t SmallestSize(uint16_t type) {
  switch (type) {
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE:
    case CLAP_EVENT_NOTE_END:
      return sizeof(clap_event_note_t);
    case CLAP_EVENT_NOTE_EXPRESSION:
      return sizeof(clap_event_note_expression_t);
    case CLAP_EVENT_PARAM_VALUE:
      return sizeof(clap_event_param_value_t);
    case CLAP_EVENT_PARAM_MOD:
      return sizeof(clap_event_param_mod_t);
    case CLAP_EVENT_PARAM_GESTURE_BEGIN:
    case CLAP_EVENT_PARAM_GESTURE_END:
      return sizeof(clap_event_param_gesture_t);
    case CLAP_EVENT_TRANSPORT:
      return sizeof(clap_event_transport_t);
    case CLAP_EVENT_MIDI:
      return sizeof(clap_event_midi_t);
    case CLAP_EVENT_MIDI_SYSEX:
      return sizeof(clap_event_midi_sysex_t);
    case CLAP_EVENT_MIDI2:
      return sizeof(clap_event_midi2_t);
    default:
      return 0;
  }
}

template <class T>
ClapEvent Make(uint32_t time, uint16_t type, T body) {
  body.header.size = sizeof(T);
  body.header.time = time;
  body.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
  body.header.type = type;
  return ClapEvent(&body.header);
}

struct InputList {
  clap_input_events_t list;
  ClapTestHost* host;
  const std::vector<ClapEvent>* events;
  bool open;
};

struct Stream {
  ClapTestHost* host;
  StreamBehaviour behaviour;
  std::vector<uint8_t>* out;       // save
  const std::vector<uint8_t>* in;  // load
  uint64_t done = 0;
  bool open = true;
  bool failed = false;
};

// How many bytes a stream call may move now; -1 error, 0 end.
int64_t Allowance(Stream* s, uint64_t asked) {
  const StreamBehaviour& b = s->behaviour;
  if (b.failAfter >= 0 && s->done >= uint64_t(b.failAfter)) {
    s->failed = true;
    return -1;
  }
  uint64_t n = std::min(asked, b.maxPerCall);
  if (b.endAfter >= 0) n = std::min(n, uint64_t(b.endAfter) - std::min(s->done, uint64_t(b.endAfter)));
  if (b.failAfter >= 0) n = std::min(n, uint64_t(b.failAfter) - s->done);
  return int64_t(std::min<uint64_t>(n, INT64_MAX));
}

}  // namespace

// ---- events ----

ClapEvent::ClapEvent(const clap_event_header_t* event) {
  mWords.resize((event->size + 7) / 8);
  std::memcpy(mWords.data(), event, event->size);
  if (Is(CLAP_EVENT_MIDI_SYSEX) && event->size >= sizeof(clap_event_midi_sysex_t)) {
    const auto* sysex = reinterpret_cast<const clap_event_midi_sysex_t*>(event);
    if (sysex->buffer) mSysex.assign(sysex->buffer, sysex->buffer + sysex->size);
    PointAtPayload();
  }
}

ClapEvent::ClapEvent(const ClapEvent& other) : mWords(other.mWords), mSysex(other.mSysex) { PointAtPayload(); }

ClapEvent& ClapEvent::operator=(const ClapEvent& other) {
  mWords = other.mWords;
  mSysex = other.mSysex;
  PointAtPayload();
  return *this;
}

void ClapEvent::PointAtPayload() {
  if (mWords.empty() || !Is(CLAP_EVENT_MIDI_SYSEX) || Header().size < sizeof(clap_event_midi_sysex_t)) return;
  auto& sysex = As<clap_event_midi_sysex_t>();
  sysex.buffer = mSysex.empty() ? nullptr : mSysex.data();
  sysex.size = uint32_t(mSysex.size());
}

ClapEvent NoteEvent(uint16_t type, uint32_t time, int16_t key, double velocity, int16_t channel) {
  clap_event_note_t e = {};
  e.note_id = -1;
  e.port_index = 0;
  e.channel = channel;
  e.key = key;
  e.velocity = velocity;
  return Make(time, type, e);
}

ClapEvent MidiEvent(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  clap_event_midi_t e = {};
  e.data[0] = status;
  e.data[1] = data1;
  e.data[2] = data2;
  return Make(time, CLAP_EVENT_MIDI, e);
}

ClapEvent SysexEvent(uint32_t time, const std::vector<uint8_t>& bytes) {
  clap_event_midi_sysex_t e = {};
  e.buffer = bytes.data();
  e.size = uint32_t(bytes.size());
  return Make(time, CLAP_EVENT_MIDI_SYSEX, e);
}

ClapEvent ParamValueEvent(uint32_t time, clap_id param, double value) {
  clap_event_param_value_t e = {};
  e.param_id = param;
  e.note_id = -1;
  e.port_index = e.channel = e.key = -1;
  e.value = value;
  return Make(time, CLAP_EVENT_PARAM_VALUE, e);
}

ClapEvent TransportEvent(uint32_t time, const clap_event_transport_t& transport) {
  return Make(time, CLAP_EVENT_TRANSPORT, transport);
}

ClapEvent RawEvent(uint32_t time, uint16_t space, uint16_t type, uint32_t size) {
  std::vector<uint64_t> words((std::max<uint32_t>(size, sizeof(clap_event_header_t)) + 7) / 8, 0);
  auto* header = reinterpret_cast<clap_event_header_t*>(words.data());
  header->size = std::max<uint32_t>(size, sizeof(clap_event_header_t));
  header->time = time;
  header->space_id = space;
  header->type = type;
  return ClapEvent(header);
}

// ---- host callbacks ----

struct HostCallbacks {
  static ClapTestHost* From(const clap_host_t* h) { return static_cast<ClapTestHost*>(h->host_data); }

  static const void* CLAP_ABI GetExtension(const clap_host_t* h, const char* id) {
    ClapTestHost* host = From(h);
    host->CheckHostCall("host get_extension");
    if (!id) return nullptr;
    static const clap_host_thread_check_t kThreadCheck = {IsMain, IsAudio};
    static const clap_host_log_t kLog = {Log};
    static const clap_host_params_t kParams = {ParamsRescan, ParamsClear, RequestFlush};
    static const clap_host_state_t kState = {MarkDirty};
    static const clap_host_note_ports_t kNotePorts = {Dialects, NotePortsRescan};
    static const clap_host_timer_support_t kTimers = {RegisterTimer, UnregisterTimer};
    static const clap_host_posix_fd_support_t kFds = {RegisterFd, ModifyFd, UnregisterFd};
    static const clap_host_gui_t kGui = {HintsChanged, RequestResize, RequestShow, RequestHide, Closed};
    static const clap_host_preset_load_t kPresetLoad = {PresetError, PresetLoaded};
    const std::pair<const char*, const void*> known[] = {{CLAP_EXT_THREAD_CHECK, &kThreadCheck},
                                                         {CLAP_EXT_LOG, &kLog},
                                                         {CLAP_EXT_PARAMS, &kParams},
                                                         {CLAP_EXT_STATE, &kState},
                                                         {CLAP_EXT_NOTE_PORTS, &kNotePorts},
                                                         {CLAP_EXT_TIMER_SUPPORT, &kTimers},
                                                         {CLAP_EXT_POSIX_FD_SUPPORT, &kFds},
                                                         {CLAP_EXT_GUI, &kGui},
                                                         {CLAP_EXT_PRESET_LOAD, &kPresetLoad}};
    for (const auto& [name, table] : known) {
      const bool loop = table == &kTimers || table == &kFds;
      if (std::strcmp(id, name) == 0) return loop && !host->mOfferLoop ? nullptr : table;
    }
    return nullptr;
  }

  static void CLAP_ABI RequestRestart(const clap_host_t* h) {
    From(h)->CheckHostCall("request_restart");
    From(h)->Record([](HostRequests& r) { ++r.restart; });
  }
  static void CLAP_ABI RequestProcess(const clap_host_t* h) {
    From(h)->CheckHostCall("request_process");
    From(h)->Record([](HostRequests& r) { ++r.process; });
  }
  static void CLAP_ABI RequestCallback(const clap_host_t* h) {
    From(h)->CheckHostCall("request_callback");
    From(h)->Record([](HostRequests& r) { ++r.callback; });
  }

  static bool CLAP_ABI IsMain(const clap_host_t* h) { return From(h)->OnMainThreadNow(); }
  static bool CLAP_ABI IsAudio(const clap_host_t* h) { return From(h)->OnAudioThreadNow(); }

  static void CLAP_ABI Log(const clap_host_t* h, clap_log_severity severity, const char* msg) {
    ClapTestHost* host = From(h);
    host->CheckHostCall("log");
    if (!msg) return host->Violation("log with a null message");
    const std::string text(msg);
    host->Record([&](HostRequests& r) { r.logs.emplace_back(severity, text); });
  }

  static void CLAP_ABI ParamsRescan(const clap_host_t* h, uint32_t flags) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("params.rescan");
    const auto state = host->mState.load();
    if ((flags & CLAP_PARAM_RESCAN_ALL) &&
        (state == ClapTestHost::State::kActive || state == ClapTestHost::State::kProcessing))
      host->Violation("params.rescan(ALL) while active");
    host->Record([flags](HostRequests& r) { r.paramRescans.push_back(flags); });
  }
  static void CLAP_ABI ParamsClear(const clap_host_t* h, clap_id id, uint32_t) {
    From(h)->CheckHostMain("params.clear");
    From(h)->Record([id](HostRequests& r) { r.paramClears.push_back(id); });
  }
  static void CLAP_ABI RequestFlush(const clap_host_t* h) {
    ClapTestHost* host = From(h);
    host->CheckHostCall("params.request_flush");
    if (host->OnAudioThreadNow()) host->Violation("params.request_flush from the audio thread");
    host->Record([](HostRequests& r) { ++r.flush; });
  }

  static void CLAP_ABI MarkDirty(const clap_host_t* h) {
    From(h)->CheckHostMain("state.mark_dirty");
    From(h)->Record([](HostRequests& r) { ++r.markDirty; });
  }

  static void CLAP_ABI PresetError(const clap_host_t* h, uint32_t, const char* location, const char*, int32_t,
                                   const char* msg) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("preset_load.on_error");
    if (!msg) host->Violation("preset_load.on_error without a message");
    const std::string text = std::string(location ? location : "(none)") + ": " + (msg ? msg : "");
    host->Record([&](HostRequests& r) { r.presetErrors.push_back(text); });
  }
  static void CLAP_ABI PresetLoaded(const clap_host_t* h, uint32_t, const char* location, const char*) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("preset_load.loaded");
    const std::string text = location ? location : "(none)";
    host->Record([&](HostRequests& r) { r.presetsLoaded.push_back(text); });
  }

  static uint32_t CLAP_ABI Dialects(const clap_host_t* h) {
    From(h)->CheckHostMain("note_ports.supported_dialects");
    return From(h)->mNoteDialects;
  }
  static void CLAP_ABI NotePortsRescan(const clap_host_t* h, uint32_t flags) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("note_ports.rescan");
    const auto state = host->mState.load();
    if ((flags & CLAP_NOTE_PORTS_RESCAN_ALL) &&
        (state == ClapTestHost::State::kActive || state == ClapTestHost::State::kProcessing))
      host->Violation("note_ports.rescan(ALL) while active");
    host->Record([flags](HostRequests& r) { r.notePortRescans.push_back(flags); });
  }

  static bool CLAP_ABI RegisterTimer(const clap_host_t* h, uint32_t period, clap_id* id) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("timer_support.register_timer");
    if (!id) return host->Violation("register_timer without a place for the id"), false;
    *id = host->mNextTimer++;
    host->mTimers[*id] = period;
    host->mTimerDue[*id] = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max<uint32_t>(period, 1));
    return true;
  }
  static bool CLAP_ABI UnregisterTimer(const clap_host_t* h, clap_id id) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("timer_support.unregister_timer");
    host->mTimerDue.erase(id);
    return host->mTimers.erase(id) > 0;
  }

  static bool FdFlagsValid(ClapTestHost* host, int fd, uint32_t flags, const char* function) {
    const uint32_t all = CLAP_POSIX_FD_READ | CLAP_POSIX_FD_WRITE | CLAP_POSIX_FD_ERROR;
    if (fd < 0 || (flags & ~all)) {
      host->Violation(std::string(function) + " with fd " + std::to_string(fd) + ", flags " + std::to_string(flags));
      return false;
    }
    return true;
  }
  static bool CLAP_ABI RegisterFd(const clap_host_t* h, int fd, uint32_t flags) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("posix_fd_support.register_fd");
    if (!FdFlagsValid(host, fd, flags, "register_fd") || host->mFds.count(fd)) return false;
    host->mFds[fd] = flags;
    return true;
  }
  static bool CLAP_ABI ModifyFd(const clap_host_t* h, int fd, uint32_t flags) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("posix_fd_support.modify_fd");
    if (!FdFlagsValid(host, fd, flags, "modify_fd") || !host->mFds.count(fd)) return false;
    host->mFds[fd] = flags;
    return true;
  }
  static bool CLAP_ABI UnregisterFd(const clap_host_t* h, int fd) {
    ClapTestHost* host = From(h);
    host->CheckHostMain("posix_fd_support.unregister_fd");
    return host->mFds.erase(fd) > 0;
  }

  static void CLAP_ABI HintsChanged(const clap_host_t* h) {
    From(h)->CheckHostCall("gui.resize_hints_changed");
    From(h)->Record([](HostRequests& r) { ++r.hintsChanged; });
  }
  static bool CLAP_ABI RequestResize(const clap_host_t* h, uint32_t width, uint32_t height) {
    From(h)->CheckHostCall("gui.request_resize");
    From(h)->Record([=](HostRequests& r) { r.resizes.emplace_back(width, height); });
    return true;
  }
  static bool CLAP_ABI RequestShow(const clap_host_t* h) {
    From(h)->CheckHostCall("gui.request_show");
    From(h)->Record([](HostRequests& r) { ++r.show; });
    return true;
  }
  static bool CLAP_ABI RequestHide(const clap_host_t* h) {
    From(h)->CheckHostCall("gui.request_hide");
    From(h)->Record([](HostRequests& r) { ++r.hide; });
    return true;
  }
  static void CLAP_ABI Closed(const clap_host_t* h, bool destroyed) {
    From(h)->CheckHostCall("gui.closed");
    From(h)->Record([destroyed](HostRequests& r) { r.closed.push_back(destroyed); });
  }

  static uint32_t CLAP_ABI InputSize(const clap_input_events_t* list) {
    const auto* in = static_cast<const InputList*>(list->ctx);
    if (!in->open) return in->host->Violation("input events read after the call returned"), 0;
    return uint32_t(in->events->size());
  }
  static const clap_event_header_t* CLAP_ABI InputGet(const clap_input_events_t* list, uint32_t index) {
    const auto* in = static_cast<const InputList*>(list->ctx);
    if (!in->open) return in->host->Violation("input events read after the call returned"), nullptr;
    if (index >= in->events->size()) {
      in->host->Violation("input event " + std::to_string(index) + " of " + std::to_string(in->events->size()));
      return nullptr;
    }
    return &(*in->events)[index].Header();
  }

  static bool CLAP_ABI TryPush(const clap_output_events_t* list, const clap_event_header_t* event) {
    auto* out = static_cast<ClapTestHost::OutputList*>(list->ctx);
    if (!out->open) return out->host->Violation("try_push after the call returned"), false;
    out->host->Push(event);
    return true;
  }

  static int64_t CLAP_ABI Write(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
    auto* s = static_cast<Stream*>(stream->ctx);
    if (!s->open) return s->host->Violation("ostream written after save returned"), -1;
    if (!buffer && size) return s->host->Violation("ostream write from a null buffer"), -1;
    const int64_t n = Allowance(s, size);
    if (n > 0) {
      const auto* bytes = static_cast<const uint8_t*>(buffer);
      s->out->insert(s->out->end(), bytes, bytes + n);
      s->done += uint64_t(n);
    }
    return n;
  }

  static int64_t CLAP_ABI Read(const clap_istream_t* stream, void* buffer, uint64_t size) {
    auto* s = static_cast<Stream*>(stream->ctx);
    if (!s->open) return s->host->Violation("istream read after load returned"), -1;
    if (!buffer && size) return s->host->Violation("istream read into a null buffer"), -1;
    const uint64_t left = s->in->size() - std::min<uint64_t>(s->done, s->in->size());
    int64_t n = Allowance(s, std::min(size, left));
    if (n > 0) {
      std::memcpy(buffer, s->in->data() + s->done, size_t(n));
      s->done += uint64_t(n);
    }
    return n;
  }
};

// ---- the host ----

class ClapTestHost::AudioCall {
 public:
  AudioCall(ClapTestHost* host, const char* function) : mHost(host) {
    std::thread::id expected;
    const std::thread::id me = std::this_thread::get_id();
    if (host->mAudioThread.compare_exchange_strong(expected, me))
      mClaimed = true;
    else if (expected != me)
      host->Violation(std::string(function) + " while another thread is inside an audio-thread call (refused)");
    mOk = mClaimed || expected == me;
  }
  // False when the call must not go on: it would overlap another thread's.
  bool Ok() const { return mOk; }
  ~AudioCall() {
    if (mClaimed) mHost->mAudioThread.store(std::thread::id());
  }

 private:
  ClapTestHost* mHost;
  bool mClaimed = false;
  bool mOk = false;
};

ClapTestHost::ClapTestHost(const clap_plugin_entry_t* entry, std::string path)
    : mEntry(entry), mPath(std::move(path)), mMainThread(std::this_thread::get_id()) {
  mHost.clap_version = CLAP_VERSION;
  mHost.host_data = this;
  mHost.name = "Cyclochord CLAP test host";
  mHost.vendor = "Larkspire";
  mHost.url = "";
  mHost.version = "1.0.0";
  mHost.get_extension = HostCallbacks::GetExtension;
  mHost.request_restart = HostCallbacks::RequestRestart;
  mHost.request_process = HostCallbacks::RequestProcess;
  mHost.request_callback = HostCallbacks::RequestCallback;
}

ClapTestHost::~ClapTestHost() {
  if (mGuiCreated) GuiDestroy();
  if (mState == State::kProcessing) StopProcessing();
  if (mState == State::kActive) Deactivate();
  if (mState == State::kInactive || mState == State::kCreated) Destroy();
  if (mEntryInitialised && mEntry->deinit) mEntry->deinit();
}

bool ClapTestHost::Load(const std::string& id) {
  if (!CheckState("load", {State::kUnloaded})) return false;
  if (!mEntry || !clap_version_is_compatible(mEntry->clap_version) || !mEntry->init || !mEntry->get_factory ||
      !mEntry->deinit)
    return Violation("clap_entry is incomplete or of version 0"), false;
  if (!mEntry->init(mPath.c_str())) return false;
  mEntryInitialised = true;
  const auto* factory = static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  if (!factory || !factory->get_plugin_count || !factory->get_plugin_descriptor || !factory->create_plugin)
    return Violation("no complete plug-in factory"), false;
  if (mEntry->get_factory("no.such-factory")) Violation("get_factory answers an unknown id");
  std::string chosen = id;
  const uint32_t count = factory->get_plugin_count(factory);
  for (uint32_t i = 0; i < count; ++i) {
    const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, i);
    if (!d || !d->id || !*d->id || !d->name || !*d->name || !d->features) {
      Violation("descriptor " + std::to_string(i) + " lacks an id, a name or features");
      continue;
    }
    if (chosen.empty()) chosen = d->id;
  }
  if (chosen.empty()) return false;
  mState = State::kCreated;
  mPlugin = factory->create_plugin(factory, &mHost, chosen.c_str());
  if (!mPlugin) {
    mState = State::kUnloaded;
    return false;
  }
  const clap_plugin_t* p = mPlugin;
  if (!p->desc || !p->init || !p->destroy || !p->activate || !p->deactivate || !p->start_processing ||
      !p->stop_processing || !p->reset || !p->process || !p->get_extension || !p->on_main_thread) {
    mPlugin = nullptr;  // nothing of it can be trusted, not even destroy
    mState = State::kUnloaded;
    return Violation("the plug-in object misses function pointers or its descriptor"), false;
  }
  mState = State::kInitialising;
  if (!p->init(p)) {
    mState = State::kCreated;
    Destroy();
    return false;
  }
  mState = State::kInactive;
  return true;
}

const void* ClapTestHost::Extension(const char* id) {
  if (!mPlugin || !CheckState("get_extension", {State::kInactive, State::kActive, State::kProcessing})) return nullptr;
  return mPlugin->get_extension(mPlugin, id);
}

bool ClapTestHost::Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  CheckPluginMain("activate");
  if (!CheckState("activate", {State::kInactive})) return false;
  if (minFrames < 1 || minFrames > maxFrames || maxFrames > uint32_t(INT32_MAX) || !(sampleRate > 0))
    return Violation("activate with an impossible rate or block range"), false;
  mSteadyTime = 0;
  if (!mPlugin->activate(mPlugin, sampleRate, minFrames, maxFrames)) return false;
  mState = State::kActive;
  return true;
}

void ClapTestHost::Deactivate() {
  CheckPluginMain("deactivate");
  if (!CheckState("deactivate", {State::kActive})) return;
  mPlugin->deactivate(mPlugin);
  mState = State::kInactive;
}

bool ClapTestHost::StartProcessing() {
  AudioCall audio(this, "start_processing");
  if (!audio.Ok()) return false;
  if (!CheckState("start_processing", {State::kActive})) return false;
  if (!mPlugin->start_processing(mPlugin)) return false;
  mState = State::kProcessing;
  return true;
}

void ClapTestHost::StopProcessing() {
  AudioCall audio(this, "stop_processing");
  if (!audio.Ok()) return;
  if (!CheckState("stop_processing", {State::kProcessing})) return;
  mPlugin->stop_processing(mPlugin);
  mState = State::kActive;
}

void ClapTestHost::Reset() {
  AudioCall audio(this, "reset");
  if (!audio.Ok()) return;
  if (!CheckState("reset", {State::kActive, State::kProcessing})) return;
  mPlugin->reset(mPlugin);
}

void ClapTestHost::Destroy() {
  CheckPluginMain("destroy");
  if (!CheckState("destroy", {State::kInactive, State::kCreated})) return;
  mPlugin->destroy(mPlugin);
  mPlugin = nullptr;
  mState = State::kDestroyed;
}

void ClapTestHost::OnMainThread() {
  CheckPluginMain("on_main_thread");
  if (CheckState("on_main_thread", {State::kInactive, State::kActive, State::kProcessing}))
    mPlugin->on_main_thread(mPlugin);
}

void ClapTestHost::Push(const clap_event_header_t* event) {
  OutputList& out = *mOutput;
  if (!event) return Violation("a null output event");
  const clap_event_header_t& h = *event;
  if (h.size < sizeof(clap_event_header_t) || h.size > kMaxEventSize)
    return Violation("an output event of " + std::to_string(h.size) + " bytes");
  if (h.space_id == CLAP_CORE_EVENT_SPACE_ID) {
    const uint32_t smallest = SmallestSize(h.type);
    if (smallest == 0) return Violation("an output event of unknown type " + std::to_string(h.type));
    if (h.size < smallest)
      return Violation("output event type " + std::to_string(h.type) + " of " + std::to_string(h.size) + " bytes");
    if (h.type == CLAP_EVENT_MIDI_SYSEX) {
      const auto* sysex = reinterpret_cast<const clap_event_midi_sysex_t*>(event);
      if (!sysex->buffer && sysex->size) return Violation("a sysex output event without its bytes");
      if (sysex->size > kMaxEventSize)
        return Violation("a sysex output event of " + std::to_string(sysex->size) + " bytes");
    }
  }
  if (out.frames && h.time >= out.frames)
    Violation("output event at " + std::to_string(h.time) + " in a block of " + std::to_string(out.frames));
  if (h.time < out.lastTime)
    Violation("output event at " + std::to_string(h.time) + " after one at " + std::to_string(out.lastTime));
  out.lastTime = std::max(out.lastTime, h.time);
  out.out->emplace_back(event);
}

ProcessResult ClapTestHost::Process(uint32_t frames, const std::vector<ClapEvent>& events,
                                    const clap_event_transport_t* transport) {
  ProcessResult result;
  AudioCall audio(this, "process");
  if (!audio.Ok()) return result;
  if (!CheckState("process", {State::kProcessing})) return result;
  if (frames == 0) Violation("process of 0 frames");
  InputList in = {{nullptr, HostCallbacks::InputSize, HostCallbacks::InputGet}, this, &events, true};
  in.list.ctx = &in;
  mOutput.reset(new OutputList{{nullptr, HostCallbacks::TryPush}, this, &result.out, frames, 0, true});
  mOutput->list.ctx = mOutput.get();
  clap_process_t process = {};
  process.steady_time = mSteadyTime;
  process.frames_count = frames;
  process.transport = transport;
  process.in_events = &in.list;
  process.out_events = &mOutput->list;
  mInProcess = true;
  result.status = mPlugin->process(mPlugin, &process);
  mInProcess = false;
  in.open = false;
  mOutput->open = false;
  mSteadyTime += frames;
  if (result.status < CLAP_PROCESS_ERROR || result.status > CLAP_PROCESS_SLEEP)
    Violation("process returned status " + std::to_string(result.status));
  return result;
}

// ---- parameters ----

uint32_t ClapTestHost::ParamCount() {
  CheckPluginMain("params.count");
  const auto* params = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  return params && params->count ? params->count(mPlugin) : 0;
}

bool ClapTestHost::ParamInfo(uint32_t index, clap_param_info_t* info) {
  CheckPluginMain("params.get_info");
  const auto* params = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  if (!params || !params->get_info) return false;
  std::memset(info, 0x5A, sizeof(*info));  // unterminated names show up
  if (!params->get_info(mPlugin, index, info)) return false;
  const std::string where = "parameter " + std::to_string(index) + ": ";
  if (!std::memchr(info->name, 0, sizeof(info->name))) Violation(where + "name not terminated");
  if (!std::memchr(info->module, 0, sizeof(info->module))) Violation(where + "module not terminated");
  if (!std::isfinite(info->min_value) || !std::isfinite(info->max_value) || !(info->min_value <= info->max_value) ||
      !(info->default_value >= info->min_value && info->default_value <= info->max_value))
    Violation(where + "range or default out of order");
  if ((info->flags & CLAP_PARAM_IS_ENUM) && !(info->flags & CLAP_PARAM_IS_STEPPED))
    Violation(where + "an enum that is not stepped");
  return true;
}

bool ClapTestHost::ParamValue(clap_id id, double* value) {
  CheckPluginMain("params.get_value");
  const auto* params = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  return params && params->get_value && params->get_value(mPlugin, id, value);
}

bool ClapTestHost::ValueToText(clap_id id, double value, std::string* text) {
  CheckPluginMain("params.value_to_text");
  const auto* params = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  if (!params || !params->value_to_text) return false;
  char buffer[64];
  std::memset(buffer, 0x5A, sizeof(buffer));
  if (!params->value_to_text(mPlugin, id, value, buffer, sizeof(buffer))) return false;
  if (!std::memchr(buffer, 0, sizeof(buffer))) return Violation("value_to_text overran its buffer"), false;
  *text = buffer;
  return true;
}

bool ClapTestHost::TextToValue(clap_id id, const std::string& text, double* value) {
  CheckPluginMain("params.text_to_value");
  const auto* params = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  return params && params->text_to_value && params->text_to_value(mPlugin, id, text.c_str(), value);
}

std::vector<ClapEvent> ClapTestHost::Flush(const std::vector<ClapEvent>& events) {
  std::vector<ClapEvent> out;
  const auto* params = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  if (!params || !params->flush) return out;
  const bool active = mState != State::kInactive;
  std::unique_ptr<AudioCall> audio;
  if (active) {
    audio.reset(new AudioCall(this, "params.flush"));
    if (!audio->Ok()) return out;
  } else {
    CheckPluginMain("params.flush");
  }
  if (mInProcess) Violation("params.flush during process");
  InputList in = {{nullptr, HostCallbacks::InputSize, HostCallbacks::InputGet}, this, &events, true};
  in.list.ctx = &in;
  mOutput.reset(new OutputList{{nullptr, HostCallbacks::TryPush}, this, &out, 0, 0, true});
  mOutput->list.ctx = mOutput.get();
  params->flush(mPlugin, &in.list, &mOutput->list);
  in.open = false;
  mOutput->open = false;
  return out;
}

// ---- state ----

bool ClapTestHost::SaveState(std::vector<uint8_t>* bytes, const StreamBehaviour& behaviour) {
  CheckPluginMain("state.save");
  const auto* state = Extension<clap_plugin_state_t>(CLAP_EXT_STATE);
  if (!state || !state->save) return false;
  bytes->clear();
  Stream s{this, behaviour, bytes, nullptr};
  const clap_ostream_t stream = {&s, HostCallbacks::Write};
  const bool ok = state->save(mPlugin, &stream);
  s.open = false;
  if (ok && s.failed) Violation("state.save reported success after the stream failed");
  return ok;
}

bool ClapTestHost::LoadState(const std::vector<uint8_t>& bytes, const StreamBehaviour& behaviour) {
  CheckPluginMain("state.load");
  const auto* state = Extension<clap_plugin_state_t>(CLAP_EXT_STATE);
  if (!state || !state->load) return false;
  Stream s{this, behaviour, nullptr, &bytes};
  const clap_istream_t stream = {&s, HostCallbacks::Read};
  const bool ok = state->load(mPlugin, &stream);
  s.open = false;
  if (ok && s.failed) Violation("state.load reported success after the stream failed");
  return ok;
}

// ---- presets ----

bool ClapTestHost::LoadPreset(uint32_t kind, const char* location, const char* loadKey, bool compatId) {
  CheckPluginMain("preset_load.from_location");
  const auto* load =
      Extension<clap_plugin_preset_load_t>(compatId ? CLAP_EXT_PRESET_LOAD_COMPAT : CLAP_EXT_PRESET_LOAD);
  if (!load || !load->from_location) return false;
  return load->from_location(mPlugin, kind, location, loadKey);
}

// ---- gui ----

bool ClapTestHost::GuiIsApiSupported(const char* api, bool floating) {
  return CallGui("gui.is_api_supported", &clap_plugin_gui_t::is_api_supported, api, floating);
}
bool ClapTestHost::GuiSetScale(double scale) { return CallGui("gui.set_scale", &clap_plugin_gui_t::set_scale, scale); }
bool ClapTestHost::GuiGetSize(uint32_t* width, uint32_t* height) {
  return CallGui("gui.get_size", &clap_plugin_gui_t::get_size, width, height);
}
bool ClapTestHost::GuiCanResize() { return CallGui("gui.can_resize", &clap_plugin_gui_t::can_resize); }
bool ClapTestHost::GuiSetSize(uint32_t width, uint32_t height) {
  return CallGui("gui.set_size", &clap_plugin_gui_t::set_size, width, height);
}
bool ClapTestHost::GuiSetParent(const clap_window_t& window) {
  return CallGui("gui.set_parent", &clap_plugin_gui_t::set_parent, &window);
}
bool ClapTestHost::GuiShow() { return CallGui("gui.show", &clap_plugin_gui_t::show); }
bool ClapTestHost::GuiHide() { return CallGui("gui.hide", &clap_plugin_gui_t::hide); }

bool ClapTestHost::GuiCreate(const char* api, bool floating) {
  CheckPluginMain("gui.create");
  const auto* gui = Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
  if (!gui || !gui->create) return false;
  if (mGuiCreated) return Violation("gui.create twice"), false;
  mGuiCreated = gui->create(mPlugin, api, floating);
  return mGuiCreated;
}

void ClapTestHost::GuiDestroy() {
  CheckPluginMain("gui.destroy");
  const auto* gui = Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
  if (gui && gui->destroy && mGuiCreated) gui->destroy(mPlugin);
  mGuiCreated = false;
}

int ClapTestHost::FireTimers(bool force) {
  CheckPluginMain("timer_support.on_timer");
  const auto* timers = Extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
  if (mTimers.empty()) return 0;
  if (!timers || !timers->on_timer) return Violation("timers registered without timer support"), 0;
  const auto now = std::chrono::steady_clock::now();
  int fired = 0;
  const std::map<clap_id, uint32_t> registered = mTimers;  // on_timer may unregister
  for (const auto& [id, period] : registered) {
    if (!mTimers.count(id) || (!force && mTimerDue[id] > now)) continue;
    mTimerDue[id] = now + std::chrono::milliseconds(std::max<uint32_t>(period, 1));
    timers->on_timer(mPlugin, id);
    ++fired;
  }
  return fired;
}

void ClapTestHost::FireFd(int fd, uint32_t flags) {
  CheckPluginMain("posix_fd_support.on_fd");
  const auto* fds = Extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
  if (!mFds.count(fd)) return;
  if (!fds || !fds->on_fd) return Violation("fds registered without fd support");
  fds->on_fd(mPlugin, fd, flags);
}

// ---- checks ----

void ClapTestHost::Violation(const std::string& what) const {
  std::lock_guard<std::mutex> guard(mLock);
  mViolations.push_back(what);
}

std::vector<std::string> ClapTestHost::Violations() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mViolations;
}

void ClapTestHost::ClearViolations() {
  std::lock_guard<std::mutex> guard(mLock);
  mViolations.clear();
}

HostRequests ClapTestHost::Requests() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mRequests;
}

void ClapTestHost::Record(const std::function<void(HostRequests&)>& change) const {
  std::lock_guard<std::mutex> guard(mLock);
  change(mRequests);
}

bool ClapTestHost::OnMainThreadNow() const { return std::this_thread::get_id() == mMainThread; }
bool ClapTestHost::OnAudioThreadNow() const { return std::this_thread::get_id() == mAudioThread.load(); }

void ClapTestHost::CheckHostCall(const char* function) const {
  const State state = mState;
  if (state == State::kCreated || state == State::kUnloaded) Violation(std::string(function) + " before plugin init");
  if (state == State::kDestroyed) Violation(std::string(function) + " after destroy");
}

void ClapTestHost::CheckHostMain(const char* function) const {
  CheckHostCall(function);
  if (!OnMainThreadNow())
    Violation(std::string(function) + " off the main thread");
  else if (OnAudioThreadNow())
    Violation(std::string(function) + " inside an audio-thread call");
}

void ClapTestHost::CheckPluginMain(const char* function) {
  if (!OnMainThreadNow() || OnAudioThreadNow())
    Violation(std::string("host called ") + function + " off the main thread");
}

bool ClapTestHost::CheckState(const char* function, std::initializer_list<State> allowed) {
  const State state = mState;
  if (std::find(allowed.begin(), allowed.end(), state) != allowed.end()) return true;
  Violation(std::string("host called ") + function + " while " + StateName() + " (call refused)");
  return false;
}

const char* ClapTestHost::StateName() const {
  switch (mState.load()) {
    case State::kUnloaded:
      return "not loaded";
    case State::kCreated:
      return "created, not initialised";
    case State::kInitialising:
      return "initialising";
    case State::kInactive:
      return "inactive";
    case State::kActive:
      return "active";
    case State::kProcessing:
      return "processing";
    case State::kDestroyed:
      return "destroyed";
  }
  return "?";
}

}  // namespace clap_test

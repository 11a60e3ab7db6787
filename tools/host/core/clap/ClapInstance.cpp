// Loading a CLAP plug-in and the host side of its calls.
#include "ClapInstance.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "FdWatch.h"
#include "ModuleLibrary.h"

namespace cchost {
namespace {

// The host's extension tables need the instance, which the host struct's host_data holds.
ClapInstance* From(const clap_host_t* host) { return static_cast<ClapInstance*>(host->host_data); }

struct InputList {
  clap_input_events_t list;
  const std::vector<const clap_event_header_t*>* events;
};

struct OutputList {
  clap_output_events_t list;
  const ClapInstance::OutputHandler* handler;
};

uint32_t CLAP_ABI InputSize(const clap_input_events_t* list) {
  return uint32_t(static_cast<const InputList*>(list->ctx)->events->size());
}

const clap_event_header_t* CLAP_ABI InputGet(const clap_input_events_t* list, uint32_t index) {
  const auto* events = static_cast<const InputList*>(list->ctx)->events;
  return index < events->size() ? (*events)[index] : nullptr;
}

bool CLAP_ABI OutputPush(const clap_output_events_t* list, const clap_event_header_t* event) {
  const auto* out = static_cast<const OutputList*>(list->ctx);
  if (!event || event->size < sizeof(clap_event_header_t)) return false;
  if (*out->handler) (*out->handler)(*event);
  return true;
}

struct ReadStream {
  const std::vector<uint8_t>* bytes;
  size_t at;
};

int64_t CLAP_ABI StreamRead(const clap_istream_t* stream, void* buffer, uint64_t size) {
  auto* s = static_cast<ReadStream*>(stream->ctx);
  if (!buffer && size) return -1;
  const size_t n = size_t(std::min<uint64_t>(size, s->bytes->size() - s->at));
  if (n) std::memcpy(buffer, s->bytes->data() + s->at, n);
  s->at += n;
  return int64_t(n);
}

int64_t CLAP_ABI StreamWrite(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(stream->ctx);
  if (!buffer && size) return -1;
  // A state larger than this is a runaway plug-in, not a preset.
  if (out->size() + size > (uint64_t(1) << 30)) return -1;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  out->insert(out->end(), bytes, bytes + size);
  return int64_t(size);
}

std::string Printable(const char* text) {
  std::string out;
  for (const char* p = text; p && *p; ++p) out += static_cast<unsigned char>(*p) < 0x20 ? ' ' : *p;
  return out;
}

}  // namespace

// ---- host callbacks: all on the tool's one thread, or on a plug-in's own threads for the thread-safe ones ----

struct ClapHostCallbacks {
  static std::thread::id& MainThread() {
    static std::thread::id id = std::this_thread::get_id();
    return id;
  }
  static bool CLAP_ABI IsMain(const clap_host_t*) { return std::this_thread::get_id() == MainThread(); }
  static bool CLAP_ABI IsAudio(const clap_host_t* h) { return IsMain(h) && From(h)->mAudioRole; }

  static void CLAP_ABI Log(const clap_host_t* h, clap_log_severity severity, const char* msg) {
    static std::mutex lock;  // plug-ins log from any thread
    std::lock_guard<std::mutex> guard(lock);
    if (msg && From(h)->mLogHandler) From(h)->mLogHandler(severity, Printable(msg));
  }

  static void CLAP_ABI ParamsRescan(const clap_host_t*, uint32_t) {}  // values are read when needed
  static void CLAP_ABI ParamsClear(const clap_host_t*, clap_id, uint32_t) {}
  // Every block is a process call, and settings go through flush: nothing to do.
  static void CLAP_ABI RequestFlush(const clap_host_t*) {}
  static void CLAP_ABI MarkDirty(const clap_host_t*) {}
  static uint32_t CLAP_ABI Dialects(const clap_host_t*) { return CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI; }
  static void CLAP_ABI NotePortsRescan(const clap_host_t*, uint32_t) {}

  static bool CLAP_ABI RegisterTimer(const clap_host_t* h, uint32_t period, clap_id* id) {
    if (!id || !IsMain(h)) return false;
    ClapInstance* c = From(h);
    const uint32_t ms = std::max<uint32_t>(period, 10);  // shorter periods are stretched
    *id = c->mNextTimer++;
    c->mTimers[*id] = {ms, std::chrono::steady_clock::now() + std::chrono::milliseconds(ms)};
    return true;
  }
  static bool CLAP_ABI UnregisterTimer(const clap_host_t* h, clap_id id) {
    return IsMain(h) && From(h)->mTimers.erase(id) > 0;
  }

  static bool CLAP_ABI RegisterFd(const clap_host_t* h, int fd, uint32_t flags) {
    if (fd < 0 || !IsMain(h) || (flags & ~uint32_t(7)) || From(h)->mFds.count(fd)) return false;
    From(h)->mFds[fd] = flags;
    return true;
  }
  static bool CLAP_ABI ModifyFd(const clap_host_t* h, int fd, uint32_t flags) {
    if (!IsMain(h) || (flags & ~uint32_t(7)) || !From(h)->mFds.count(fd)) return false;
    From(h)->mFds[fd] = flags;
    return true;
  }
  static bool CLAP_ABI UnregisterFd(const clap_host_t* h, int fd) { return IsMain(h) && From(h)->mFds.erase(fd) > 0; }

  static void CLAP_ABI HintsChanged(const clap_host_t*) {}
  static bool CLAP_ABI RequestResize(const clap_host_t* h, uint32_t width, uint32_t height) {
    ClapInstance* c = From(h);
    return IsMain(h) && c->mResizeHandler && width > 0 && height > 0 && width <= 16384 && height <= 16384 &&
           c->mResizeHandler(width, height);
  }
  static bool CLAP_ABI RequestShow(const clap_host_t*) { return true; }
  static bool CLAP_ABI RequestHide(const clap_host_t*) { return false; }
  static void CLAP_ABI Closed(const clap_host_t* h, bool) { From(h)->mGuiClosed = true; }

  static const void* CLAP_ABI GetExtension(const clap_host_t*, const char* id) {
    static const clap_host_thread_check_t kThreadCheck = {IsMain, IsAudio};
    static const clap_host_log_t kLog = {Log};
    static const clap_host_params_t kParams = {ParamsRescan, ParamsClear, RequestFlush};
    static const clap_host_state_t kState = {MarkDirty};
    static const clap_host_note_ports_t kNotePorts = {Dialects, NotePortsRescan};
    static const clap_host_timer_support_t kTimers = {RegisterTimer, UnregisterTimer};
    static const clap_host_posix_fd_support_t kFds = {RegisterFd, ModifyFd, UnregisterFd};
    static const clap_host_gui_t kGui = {HintsChanged, RequestResize, RequestShow, RequestHide, Closed};
    if (!id) return nullptr;
    if (!std::strcmp(id, CLAP_EXT_THREAD_CHECK)) return &kThreadCheck;
    if (!std::strcmp(id, CLAP_EXT_LOG)) return &kLog;
    if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &kParams;
    if (!std::strcmp(id, CLAP_EXT_STATE)) return &kState;
    if (!std::strcmp(id, CLAP_EXT_NOTE_PORTS)) return &kNotePorts;
    if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &kTimers;
    if (!std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT)) return FdWatchSupported() ? &kFds : nullptr;
    if (!std::strcmp(id, CLAP_EXT_GUI)) return &kGui;
    return nullptr;
  }
  static void CLAP_ABI RequestRestart(const clap_host_t*) {}  // an offline render never restarts
  static void CLAP_ABI RequestProcess(const clap_host_t*) {}  // every block is processed anyway
  static void CLAP_ABI RequestCallback(const clap_host_t* h) { From(h)->mCallbackRequested = true; }
};

bool IsClapPath(const std::string& path) {
  if (path.size() < 5) return false;
  std::string suffix = path.substr(path.size() - 5);
  for (char& c : suffix) c = char(std::tolower(static_cast<unsigned char>(c)));
  return suffix == ".clap";
}

std::unique_ptr<ClapInstance> ClapInstance::Load(const std::string& path, std::string* error) {
  ClapHostCallbacks::MainThread() = std::this_thread::get_id();
  struct stat st = {};
  if (stat(path.c_str(), &st) != 0) return *error = path + ": " + std::strerror(errno), nullptr;
  if (!S_ISREG(st.st_mode)) return *error = path + ": not a plug-in file", nullptr;
  std::string why;
  void* module = OpenModule(path, &why);
  if (!module) return *error = path + ": not a loadable plug-in module (" + why + ")", nullptr;
  std::unique_ptr<ClapInstance> c(new ClapInstance());
  c->mModule = module;
  c->mPath = path;
  c->mEntry = static_cast<const clap_plugin_entry_t*>(FindModuleSymbol(module, "clap_entry"));
  if (!c->mEntry) return *error = path + ": not a CLAP plug-in (exports no clap_entry)", nullptr;
  const clap_plugin_entry_t* entry = c->mEntry;
  if (!clap_version_is_compatible(entry->clap_version) || !entry->init || !entry->deinit || !entry->get_factory) {
    c->mKeepModule = true;
    return *error = path + ": its clap_entry is incomplete or of a pre-release version", nullptr;
  }
  if (!entry->init(path.c_str())) return *error = path + ": the plug-in's entry refused to initialise", nullptr;
  c->mEntryInitialised = true;
  const auto* factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  if (!factory || !factory->get_plugin_count || !factory->get_plugin_descriptor || !factory->create_plugin)
    return *error = path + ": offers no plug-in factory", nullptr;
  const clap_plugin_descriptor_t* descriptor =
      factory->get_plugin_count(factory) > 0 ? factory->get_plugin_descriptor(factory, 0) : nullptr;
  if (!descriptor || !descriptor->id || !*descriptor->id)
    return *error = path + ": its factory holds no plug-in with an id", nullptr;

  clap_host_t& host = c->mHost;
  host.clap_version = CLAP_VERSION;
  host.host_data = c.get();
  host.name = "cyclochord-host";
  host.vendor = "Larkspire";
  host.url = "";
  host.version = "1.0.0";
  host.get_extension = ClapHostCallbacks::GetExtension;
  host.request_restart = ClapHostCallbacks::RequestRestart;
  host.request_process = ClapHostCallbacks::RequestProcess;
  host.request_callback = ClapHostCallbacks::RequestCallback;
  const clap_plugin_t* plugin = factory->create_plugin(factory, &host, descriptor->id);
  if (!plugin) return *error = path + ": the factory created no plug-in for " + descriptor->id, nullptr;
  if (!plugin->desc || !plugin->init || !plugin->destroy || !plugin->activate || !plugin->deactivate ||
      !plugin->start_processing || !plugin->stop_processing || !plugin->process || !plugin->get_extension ||
      !plugin->on_main_thread) {
    c->mKeepModule = true;  // not even destroy can be trusted
    return *error = path + ": the plug-in object is incomplete", nullptr;
  }
  c->mPlugin = plugin;
  if (!plugin->init(plugin)) return *error = path + ": the plug-in failed to initialise", nullptr;

  auto ext = [plugin](const char* id) { return plugin->get_extension(plugin, id); };
  c->mNotePorts = static_cast<const clap_plugin_note_ports_t*>(ext(CLAP_EXT_NOTE_PORTS));
  c->mParamsExt = static_cast<const clap_plugin_params_t*>(ext(CLAP_EXT_PARAMS));
  c->mState = static_cast<const clap_plugin_state_t*>(ext(CLAP_EXT_STATE));
  c->mGui = static_cast<const clap_plugin_gui_t*>(ext(CLAP_EXT_GUI));
  c->mTimerExt = static_cast<const clap_plugin_timer_support_t*>(ext(CLAP_EXT_TIMER_SUPPORT));
  c->mFdExt = static_cast<const clap_plugin_posix_fd_support_t*>(ext(CLAP_EXT_POSIX_FD_SUPPORT));
  if (const auto* render = static_cast<const clap_plugin_render_t*>(ext(CLAP_EXT_RENDER)))
    if (render->set) render->set(plugin, CLAP_RENDER_OFFLINE);
  if (c->mParamsExt && c->mParamsExt->count && c->mParamsExt->get_info) {
    const uint32_t count = std::min<uint32_t>(c->mParamsExt->count(plugin), 100000);
    for (uint32_t i = 0; i < count; ++i) {
      clap_param_info_t info = {};
      if (!c->mParamsExt->get_info(plugin, i, &info)) continue;
      info.name[sizeof(info.name) - 1] = '\0';  // a plug-in that fills the whole array still gets read safely
      info.module[sizeof(info.module) - 1] = '\0';
      c->mParams.push_back(info);
    }
  }
  return c;
}

ClapInstance::~ClapInstance() {
  if (mPlugin) {
    Stop();
    mPlugin->destroy(mPlugin);
  }
  if (mEntryInitialised) mEntry->deinit();
  // A plug-in that handed us something unusable may have left threads running inside the module: keep it.
  if (mModule && !mKeepModule) CloseModule(mModule);
}

std::string ClapInstance::Name() const {
  const clap_plugin_descriptor_t& d = Descriptor();
  return Printable(d.name && *d.name ? d.name : d.id);
}

std::vector<clap_note_port_info_t> ClapInstance::NotePorts(bool input) const {
  std::vector<clap_note_port_info_t> ports;
  if (!mNotePorts || !mNotePorts->count || !mNotePorts->get) return ports;
  const uint32_t count = std::min<uint32_t>(mNotePorts->count(mPlugin, input), 1024);
  for (uint32_t i = 0; i < count; ++i) {
    clap_note_port_info_t info = {};
    if (!mNotePorts->get(mPlugin, i, input, &info)) continue;
    info.name[sizeof(info.name) - 1] = '\0';
    ports.push_back(info);
  }
  return ports;
}

bool ClapInstance::Value(clap_id id, double* value) const {
  return mParamsExt && mParamsExt->get_value && mParamsExt->get_value(mPlugin, id, value) && std::isfinite(*value);
}

std::string ClapInstance::ValueText(clap_id id, double value) const {
  char text[256];
  std::memset(text, 0, sizeof(text));
  if (mParamsExt && mParamsExt->value_to_text &&
      mParamsExt->value_to_text(mPlugin, id, value, text, sizeof(text) - 1) && text[0])
    return Printable(text);
  char number[64];
  std::snprintf(number, sizeof(number), "%g", value);
  return number;
}

bool ClapInstance::TextToValue(clap_id id, const std::string& text, double* value) const {
  return mParamsExt && mParamsExt->text_to_value && mParamsExt->text_to_value(mPlugin, id, text.c_str(), value) &&
         std::isfinite(*value);
}

bool ClapInstance::SetValue(clap_id id, double value) {
  clap_event_param_value_t e = {};
  e.header = {sizeof(e), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  e.param_id = id;
  for (const clap_param_info_t& info : mParams)
    if (info.id == id) e.cookie = info.cookie;
  e.note_id = -1;
  e.port_index = e.channel = e.key = -1;
  e.value = value;
  if (mProcessing) {
    mPendingValues.push_back(e);
    return true;
  }
  if (!mParamsExt || !mParamsExt->flush) return false;
  Flush({&e.header});
  return true;
}

void ClapInstance::Flush(const std::vector<const clap_event_header_t*>& inputs) {
  InputList in = {{nullptr, InputSize, InputGet}, &inputs};
  in.list.ctx = &in;
  const OutputHandler none;
  OutputList out = {{nullptr, OutputPush}, &none};
  out.list.ctx = &out;
  mAudioRole = mActive;  // flush is an audio-thread call while active
  mParamsExt->flush(mPlugin, &in.list, &out.list);
  mAudioRole = false;
}

bool ClapInstance::LoadState(const std::vector<uint8_t>& bytes, std::string* error) {
  if (!HasState()) return *error = Name() + " keeps no state (no clap.state)", false;
  ReadStream s = {&bytes, 0};
  const clap_istream_t stream = {&s, StreamRead};
  if (!mState->load(mPlugin, &stream)) return *error = Name() + " refused the state", false;
  return true;
}

bool ClapInstance::SaveState(std::vector<uint8_t>* bytes) const {
  bytes->clear();
  const clap_ostream_t stream = {bytes, StreamWrite};
  return HasState() && mState->save(mPlugin, &stream);
}

bool ClapInstance::Start(double sampleRate, uint32_t maxFrames, std::string* error) {
  if (!mPlugin->activate(mPlugin, sampleRate, 1, maxFrames)) return *error = Name() + " refused to activate", false;
  mActive = true;
  mAudioRole = true;
  const bool started = mPlugin->start_processing(mPlugin);
  mAudioRole = false;
  if (!started) return *error = Name() + " refused to start processing", false;
  mProcessing = true;
  return true;
}

void ClapInstance::Stop() {
  if (mProcessing) {
    mAudioRole = true;
    mPlugin->stop_processing(mPlugin);
    mAudioRole = false;
    mProcessing = false;
  }
  if (mActive) mPlugin->deactivate(mPlugin);
  mActive = false;
}

clap_process_status ClapInstance::Process(int64_t steadyTime, uint32_t frames, const clap_event_transport_t* transport,
                                          const std::vector<const clap_event_header_t*>& inputs,
                                          const OutputHandler& onOutput) {
  std::vector<const clap_event_header_t*> events;
  const std::vector<const clap_event_header_t*>* list = &inputs;
  if (!mPendingValues.empty()) {  // settings made while processing come first, at frame 0
    for (const auto& v : mPendingValues) events.push_back(&v.header);
    events.insert(events.end(), inputs.begin(), inputs.end());
    list = &events;
  }
  InputList in = {{nullptr, InputSize, InputGet}, list};
  in.list.ctx = &in;
  OutputList out = {{nullptr, OutputPush}, &onOutput};
  out.list.ctx = &out;
  clap_process_t process = {};
  process.steady_time = steadyTime;
  process.frames_count = frames;
  process.transport = transport;
  process.in_events = &in.list;
  process.out_events = &out.list;
  mAudioRole = true;
  const clap_process_status status = mPlugin->process(mPlugin, &process);
  mAudioRole = false;
  mPendingValues.clear();
  if (mCallbackRequested.exchange(false)) mPlugin->on_main_thread(mPlugin);
  return status;
}

void ClapInstance::ServeMainThread(int timeoutMs) {
  const auto now = std::chrono::steady_clock::now();
  for (const auto& [id, timer] : mTimers) {
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(timer.due - now).count();
    timeoutMs = int(std::max<long long>(0, std::min<long long>(timeoutMs, wait)));
  }
  std::vector<WatchedFd> fds;
  for (const auto& [fd, flags] : mFds) fds.push_back({fd, flags, 0});
  if (fds.empty()) {
    if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
  } else if (WaitForFds(&fds, timeoutMs)) {
    for (const WatchedFd& w : fds)
      if (w.ready && mFds.count(w.fd) && mFdExt && mFdExt->on_fd) mFdExt->on_fd(mPlugin, w.fd, w.ready);
  }
  const auto later = std::chrono::steady_clock::now();
  const std::map<clap_id, Timer> timers = mTimers;  // on_timer may unregister
  for (const auto& [id, timer] : timers) {
    if (timer.due > later || !mTimers.count(id)) continue;
    mTimers[id].due = later + std::chrono::milliseconds(timer.periodMs);
    if (mTimerExt && mTimerExt->on_timer) mTimerExt->on_timer(mPlugin, id);
  }
  if (mCallbackRequested.exchange(false)) mPlugin->on_main_thread(mPlugin);
}

}  // namespace cchost

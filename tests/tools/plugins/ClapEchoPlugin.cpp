// A CLAP note effect for the host's tests: passes every MIDI and note event through unchanged and sends each
// note again a fixed number of frames later. One parameter (that delay), a 12-byte state, and a window-less
// editor that only drives the host's timers and main-thread callback.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "ClapAbi.h"

namespace {

constexpr clap_id kDelayId = 7;  // not the index: hosts must go by id
constexpr uint32_t kDefaultDelay = 1000;
constexpr uint32_t kMaxDelay = 48000;
constexpr size_t kMaxPending = 4096;
constexpr char kMagic[4] = {'E', 'C', 'H', 'O'};
constexpr uint32_t kStateVersion = 1;
constexpr uint32_t kGuiWidth = 240, kGuiHeight = 80;

// One event of this block's output: a pass-through points at its input, an echo carries its own copy.
struct Out {
  int64_t frame;
  uint64_t order;
  const clap_event_header_t* input;
  union {
    clap_event_header_t header;
    clap_event_note_t note;
    clap_event_midi_t midi;
  } echo;
};

struct Echo {
  clap_plugin_t plugin = {};
  const clap_host_t* host = nullptr;
  const clap_host_params_t* hostParams = nullptr;
  const clap_host_timer_support_t* hostTimers = nullptr;
  const clap_host_log_t* hostLog = nullptr;
  std::atomic<uint32_t> delay{kDefaultDelay};
  int64_t frame = 0;
  uint64_t order = 0;
  std::vector<Out> pending, block;
  bool guiCreated = false;
  clap_id timer = CLAP_INVALID_ID;
  int ticks = 0;
};

Echo* Self(const clap_plugin_t* p) { return static_cast<Echo*>(p->plugin_data); }

bool IsNote(const clap_event_header_t* h) {
  if (h->type == CLAP_EVENT_NOTE_ON || h->type == CLAP_EVENT_NOTE_OFF) return h->size >= sizeof(clap_event_note_t);
  if (h->type != CLAP_EVENT_MIDI || h->size < sizeof(clap_event_midi_t)) return false;
  const uint8_t status = reinterpret_cast<const clap_event_midi_t*>(h)->data[0] & 0xF0;
  return status == 0x80 || status == 0x90;
}

void ApplyParams(Echo* e, const clap_input_events_t* in, uint32_t index) {
  const clap_event_header_t* h = in->get(in, index);
  if (!h || h->space_id != CLAP_CORE_EVENT_SPACE_ID || h->type != CLAP_EVENT_PARAM_VALUE ||
      h->size < sizeof(clap_event_param_value_t))
    return;
  const auto* p = reinterpret_cast<const clap_event_param_value_t*>(h);
  if (p->param_id == kDelayId && std::isfinite(p->value))
    e->delay = uint32_t(std::lround(std::min(std::max(p->value, 0.0), double(kMaxDelay))));
}

void Log(Echo* e, const char* text) {
  if (e->hostLog && e->hostLog->log) e->hostLog->log(e->host, CLAP_LOG_INFO, text);
}

// ---- plug-in ----

bool CLAP_ABI Init(const clap_plugin_t* p) {
  Echo* e = Self(p);
  auto ext = [e](const char* id) { return e->host->get_extension(e->host, id); };
  e->hostParams = static_cast<const clap_host_params_t*>(ext(CLAP_EXT_PARAMS));
  e->hostTimers = static_cast<const clap_host_timer_support_t*>(ext(CLAP_EXT_TIMER_SUPPORT));
  e->hostLog = static_cast<const clap_host_log_t*>(ext(CLAP_EXT_LOG));
  return true;
}

void CLAP_ABI Destroy(const clap_plugin_t* p) { delete Self(p); }

bool CLAP_ABI Activate(const clap_plugin_t* p, double, uint32_t, uint32_t maxFrames) {
  Echo* e = Self(p);
  e->pending.clear();
  e->pending.reserve(kMaxPending);
  e->block.reserve(kMaxPending + size_t(std::min<uint32_t>(maxFrames, 65536)) * 4);
  e->frame = 0;
  return true;
}

void CLAP_ABI Deactivate(const clap_plugin_t*) {}
bool CLAP_ABI StartProcessing(const clap_plugin_t*) { return true; }
void CLAP_ABI StopProcessing(const clap_plugin_t*) {}

void CLAP_ABI Reset(const clap_plugin_t* p) { Self(p)->pending.clear(); }

clap_process_status CLAP_ABI Process(const clap_plugin_t* p, const clap_process_t* process) {
  Echo* e = Self(p);
  const clap_input_events_t* in = process->in_events;
  const uint32_t frames = process->frames_count;
  if (frames == 0) return CLAP_PROCESS_CONTINUE;
  e->block.clear();
  const uint32_t count = in->size(in);
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* h = in->get(in, i);
    if (!h || h->space_id != CLAP_CORE_EVENT_SPACE_ID) continue;
    if (h->type == CLAP_EVENT_PARAM_VALUE) ApplyParams(e, in, i);
    const bool midi = h->type == CLAP_EVENT_MIDI || h->type == CLAP_EVENT_MIDI_SYSEX;
    if (!midi && !IsNote(h)) continue;
    const uint32_t time = std::min(h->time, frames - 1);  // a late event still goes out inside the block
    if (e->block.size() < e->block.capacity()) e->block.push_back({time, e->order++, h, {}});
    if (!IsNote(h) || e->pending.size() >= kMaxPending) continue;
    Out echo = {e->frame + time + e->delay, e->order++, nullptr, {}};
    std::memcpy(&echo.echo, h, h->type == CLAP_EVENT_MIDI ? sizeof(clap_event_midi_t) : sizeof(clap_event_note_t));
    e->pending.push_back(echo);
  }
  // Echoes due in this block join it; the rest wait.
  auto due = std::stable_partition(e->pending.begin(), e->pending.end(),
                                   [&](const Out& o) { return o.frame < e->frame + frames; });
  for (auto it = e->pending.begin(); it != due && e->block.size() < e->block.capacity(); ++it) {
    Out o = *it;
    o.frame -= e->frame;
    e->block.push_back(o);
  }
  e->pending.erase(e->pending.begin(), due);
  std::sort(e->block.begin(), e->block.end(),
            [](const Out& a, const Out& b) { return a.frame != b.frame ? a.frame < b.frame : a.order < b.order; });
  for (Out& o : e->block) {
    if (o.input && o.input->time == uint32_t(o.frame)) {
      process->out_events->try_push(process->out_events, o.input);
      continue;
    }
    if (o.input) {  // a late input: its copy goes out on the block's last frame
      union {
        clap_event_header_t header;
        clap_event_note_t note;
        clap_event_midi_t midi;
        clap_event_midi_sysex_t sysex;
      } moved;
      std::memcpy(&moved, o.input, std::min<size_t>(o.input->size, sizeof(moved)));
      moved.header.size = std::min<uint32_t>(o.input->size, sizeof(moved));
      moved.header.time = uint32_t(o.frame);
      process->out_events->try_push(process->out_events, &moved.header);
      continue;
    }
    o.echo.header.time = uint32_t(o.frame);
    process->out_events->try_push(process->out_events, &o.echo.header);
  }
  e->frame += frames;
  return CLAP_PROCESS_CONTINUE;
}

// ---- note ports ----

uint32_t CLAP_ABI NotePortCount(const clap_plugin_t*, bool) { return 1; }

bool CLAP_ABI NotePortGet(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
  if (index != 0 || !info) return false;
  info->id = isInput ? 0 : 1;
  info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
  info->preferred_dialect = CLAP_NOTE_DIALECT_MIDI;
  std::snprintf(info->name, sizeof(info->name), "%s", isInput ? "notes in" : "notes out");
  return true;
}

// ---- parameters ----

uint32_t CLAP_ABI ParamCount(const clap_plugin_t*) { return 1; }

bool CLAP_ABI ParamInfo(const clap_plugin_t*, uint32_t index, clap_param_info_t* info) {
  if (index != 0 || !info) return false;
  std::memset(info, 0, sizeof(*info));
  info->id = kDelayId;
  info->flags = CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_AUTOMATABLE;
  std::snprintf(info->name, sizeof(info->name), "Echo delay");
  std::snprintf(info->module, sizeof(info->module), "Timing");
  info->min_value = 0;
  info->max_value = kMaxDelay;
  info->default_value = kDefaultDelay;
  return true;
}

bool CLAP_ABI ParamValue(const clap_plugin_t* p, clap_id id, double* value) {
  if (id != kDelayId || !value) return false;
  *value = Self(p)->delay;
  return true;
}

bool CLAP_ABI ValueToText(const clap_plugin_t*, clap_id id, double value, char* out, uint32_t capacity) {
  if (id != kDelayId || !out || capacity == 0) return false;
  const int n = std::snprintf(out, capacity, "%.0f frames", value);
  return n > 0 && uint32_t(n) < capacity;
}

bool CLAP_ABI TextToValue(const clap_plugin_t*, clap_id id, const char* text, double* value) {
  if (id != kDelayId || !text || !value) return false;
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  while (*end == ' ') ++end;
  if (end == text || (*end && std::strcmp(end, "frames") != 0) || !(v >= 0 && v <= kMaxDelay)) return false;
  *value = std::round(v);
  return true;
}

void CLAP_ABI Flush(const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t*) {
  const uint32_t count = in->size(in);
  for (uint32_t i = 0; i < count; ++i) ApplyParams(Self(p), in, i);
}

// ---- state ----

bool CLAP_ABI StateSave(const clap_plugin_t* p, const clap_ostream_t* stream) {
  uint8_t bytes[12];
  const uint32_t delay = Self(p)->delay;
  std::memcpy(bytes, kMagic, 4);
  for (int i = 0; i < 4; ++i) {
    bytes[4 + i] = uint8_t(kStateVersion >> (8 * i));
    bytes[8 + i] = uint8_t(delay >> (8 * i));
  }
  for (size_t done = 0; done < sizeof(bytes);) {
    const int64_t n = stream->write(stream, bytes + done, sizeof(bytes) - done);
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

bool CLAP_ABI StateLoad(const clap_plugin_t* p, const clap_istream_t* stream) {
  uint8_t bytes[12];
  for (size_t done = 0; done < sizeof(bytes);) {
    const int64_t n = stream->read(stream, bytes + done, sizeof(bytes) - done);
    if (n <= 0 || uint64_t(n) > sizeof(bytes) - done) return false;
    done += size_t(n);
  }
  auto word = [&](int at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
  };
  if (std::memcmp(bytes, kMagic, 4) != 0 || word(4) != kStateVersion || word(8) > kMaxDelay) return false;
  Echo* e = Self(p);
  e->delay = word(8);
  if (e->hostParams && e->hostParams->rescan) e->hostParams->rescan(e->host, CLAP_PARAM_RESCAN_VALUES);
  return true;
}

// ---- editor without a window: a timer, and a main-thread callback after its third tick ----

bool CLAP_ABI GuiApiSupported(const clap_plugin_t*, const char* api, bool floating) {
  return api && !floating &&
         (std::strcmp(api, CLAP_WINDOW_API_X11) == 0 || std::strcmp(api, CLAP_WINDOW_API_WIN32) == 0);
}
bool CLAP_ABI GuiPreferredApi(const clap_plugin_t*, const char**, bool*) { return false; }
bool CLAP_ABI GuiCreate(const clap_plugin_t* p, const char* api, bool floating) {
  if (!GuiApiSupported(p, api, floating) || Self(p)->guiCreated) return false;
  Self(p)->guiCreated = true;
  return true;
}
void CLAP_ABI GuiDestroy(const clap_plugin_t* p) {
  Echo* e = Self(p);
  if (e->timer != CLAP_INVALID_ID && e->hostTimers) e->hostTimers->unregister_timer(e->host, e->timer);
  e->timer = CLAP_INVALID_ID;
  e->guiCreated = false;
}
bool CLAP_ABI GuiSetScale(const clap_plugin_t*, double) { return false; }
bool CLAP_ABI GuiGetSize(const clap_plugin_t* p, uint32_t* width, uint32_t* height) {
  if (!Self(p)->guiCreated || !width || !height) return false;
  *width = kGuiWidth;
  *height = kGuiHeight;
  return true;
}
bool CLAP_ABI GuiCanResize(const clap_plugin_t*) { return false; }
bool CLAP_ABI GuiResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; }
bool CLAP_ABI GuiAdjustSize(const clap_plugin_t*, uint32_t*, uint32_t*) { return false; }
bool CLAP_ABI GuiSetSize(const clap_plugin_t*, uint32_t width, uint32_t height) {
  return width == kGuiWidth && height == kGuiHeight;
}
bool CLAP_ABI GuiSetParent(const clap_plugin_t* p, const clap_window_t* window) {
  return Self(p)->guiCreated && window && window->api;
}
bool CLAP_ABI GuiSetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
void CLAP_ABI GuiSuggestTitle(const clap_plugin_t*, const char*) {}
bool CLAP_ABI GuiShow(const clap_plugin_t* p) {
  Echo* e = Self(p);
  if (!e->guiCreated) return false;
  if (e->timer == CLAP_INVALID_ID && e->hostTimers && !e->hostTimers->register_timer(e->host, 30, &e->timer))
    e->timer = CLAP_INVALID_ID;
  return true;
}
bool CLAP_ABI GuiHide(const clap_plugin_t* p) {
  Echo* e = Self(p);
  if (e->timer != CLAP_INVALID_ID && e->hostTimers) e->hostTimers->unregister_timer(e->host, e->timer);
  e->timer = CLAP_INVALID_ID;
  return true;
}

void CLAP_ABI OnTimer(const clap_plugin_t* p, clap_id id) {
  Echo* e = Self(p);
  if (id == e->timer && ++e->ticks == 3) e->host->request_callback(e->host);
}

void CLAP_ABI OnMainThread(const clap_plugin_t* p) {
  char text[64];
  std::snprintf(text, sizeof(text), "main-thread callback after %d timer ticks", Self(p)->ticks);
  Log(Self(p), text);
}

const void* CLAP_ABI GetExtension(const clap_plugin_t*, const char* id) {
  static const clap_plugin_note_ports_t kNotePorts = {NotePortCount, NotePortGet};
  static const clap_plugin_params_t kParams = {ParamCount, ParamInfo, ParamValue, ValueToText, TextToValue, Flush};
  static const clap_plugin_state_t kState = {StateSave, StateLoad};
  static const clap_plugin_gui_t kGui = {GuiApiSupported, GuiPreferredApi, GuiCreate,       GuiDestroy,    GuiSetScale,
                                         GuiGetSize,      GuiCanResize,    GuiResizeHints,  GuiAdjustSize, GuiSetSize,
                                         GuiSetParent,    GuiSetTransient, GuiSuggestTitle, GuiShow,       GuiHide};
  static const clap_plugin_timer_support_t kTimer = {OnTimer};
  if (!id) return nullptr;
  if (!std::strcmp(id, CLAP_EXT_NOTE_PORTS)) return &kNotePorts;
  if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &kParams;
  if (!std::strcmp(id, CLAP_EXT_STATE)) return &kState;
  if (!std::strcmp(id, CLAP_EXT_GUI)) return &kGui;
  if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &kTimer;
  return nullptr;
}

// ---- factory and entry ----

const char* const kFeatures[] = {"note-effect", "utility", nullptr};
const clap_plugin_descriptor_t kDescriptor = {CLAP_VERSION,
                                              "com.larkspire.clap-echo",
                                              "Clap Echo",
                                              "Larkspire",
                                              "",
                                              "",
                                              "",
                                              "1.0.0",
                                              "Sends every note again a fixed number of frames later",
                                              kFeatures};

uint32_t CLAP_ABI PluginCount(const clap_plugin_factory_t*) { return 1; }

const clap_plugin_descriptor_t* CLAP_ABI PluginDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

const clap_plugin_t* CLAP_ABI CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
  if (!host || !id || !clap_version_is_compatible(host->clap_version) || std::strcmp(id, kDescriptor.id) != 0)
    return nullptr;
  Echo* e = new Echo();
  e->host = host;
  e->plugin = {&kDescriptor,   e,     Init,    Destroy,      Activate,    Deactivate, StartProcessing,
               StopProcessing, Reset, Process, GetExtension, OnMainThread};
  return &e->plugin;
}

const clap_plugin_factory_t kFactory = {PluginCount, PluginDescriptor, CreatePlugin};

std::mutex gEntryLock;
int gEntryCount = 0;

bool CLAP_ABI EntryInit(const char*) {
  std::lock_guard<std::mutex> guard(gEntryLock);
  ++gEntryCount;
  return true;
}

void CLAP_ABI EntryDeinit() {
  std::lock_guard<std::mutex> guard(gEntryLock);
  if (gEntryCount > 0) --gEntryCount;
}

const void* CLAP_ABI EntryFactory(const char* id) {
  return id && std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = {CLAP_VERSION, EntryInit, EntryDeinit, EntryFactory};

// An in-process CLAP host for tests, fuzz targets and benchmarks: drives one plug-in through its function
// pointers, offers the host extensions, and records every call that breaks the thread, state or event rules.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ClapAbi.h"

namespace clap_test {

// One event as raw bytes, aligned for its double fields; sysex keeps its payload and points at it.
class ClapEvent {
 public:
  ClapEvent() = default;
  explicit ClapEvent(const clap_event_header_t* event);
  ClapEvent(const ClapEvent& other);
  ClapEvent& operator=(const ClapEvent& other);

  const clap_event_header_t& Header() const { return *reinterpret_cast<const clap_event_header_t*>(mWords.data()); }
  clap_event_header_t& Header() { return *reinterpret_cast<clap_event_header_t*>(mWords.data()); }
  template <class T>
  const T& As() const {
    return *reinterpret_cast<const T*>(mWords.data());
  }
  template <class T>
  T& As() {
    return *reinterpret_cast<T*>(mWords.data());
  }
  bool Is(uint16_t type) const { return Header().space_id == CLAP_CORE_EVENT_SPACE_ID && Header().type == type; }
  const std::vector<uint8_t>& Sysex() const { return mSysex; }

 private:
  void PointAtPayload();
  std::vector<uint64_t> mWords;
  std::vector<uint8_t> mSysex;
};

// Builders for input events; port and note id as a host without note ids sends them.
ClapEvent NoteEvent(uint16_t type, uint32_t time, int16_t key, double velocity = 1.0, int16_t channel = 0);
ClapEvent MidiEvent(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2 = 0);
ClapEvent SysexEvent(uint32_t time, const std::vector<uint8_t>& bytes);
ClapEvent ParamValueEvent(uint32_t time, clap_id param, double value);
ClapEvent TransportEvent(uint32_t time, const clap_event_transport_t& transport);
// Any header: unknown spaces and types, odd sizes (at least the header's 16 bytes).
ClapEvent RawEvent(uint32_t time, uint16_t space, uint16_t type, uint32_t size);

// How a state stream behaves: bytes per call, and where it ends early (returns 0) or fails (returns -1).
struct StreamBehaviour {
  uint64_t maxPerCall = UINT64_MAX;
  int64_t endAfter = -1;
  int64_t failAfter = -1;
};

struct ProcessResult {
  clap_process_status status = CLAP_PROCESS_ERROR;
  std::vector<ClapEvent> out;
};

// What the plug-in asked of the host.
struct HostRequests {
  int restart = 0, process = 0, callback = 0, flush = 0, markDirty = 0, hintsChanged = 0, show = 0, hide = 0;
  std::vector<uint32_t> paramRescans, notePortRescans;
  std::vector<clap_id> paramClears;
  std::vector<std::pair<uint32_t, uint32_t>> resizes;
  std::vector<std::pair<clap_log_severity, std::string>> logs;
  std::vector<bool> closed;
  std::vector<std::string> presetsLoaded;  // locations given to preset_load.loaded
  std::vector<std::string> presetErrors;   // "location: message" of preset_load.on_error
};

class ClapTestHost {
 public:
  // entry must outlive the host; path is what entry->init receives.
  explicit ClapTestHost(const clap_plugin_entry_t* entry, std::string path = "test.clap");
  // Brings the plug-in down in order (stop, deactivate, destroy) and deinitialises the entry.
  ~ClapTestHost();
  ClapTestHost(const ClapTestHost&) = delete;
  ClapTestHost& operator=(const ClapTestHost&) = delete;

  // entry init, the plug-in factory, create_plugin of id (the first descriptor's when empty) and plugin->init.
  bool Load(const std::string& id = "");
  const clap_plugin_t* Plugin() const { return mPlugin; }
  const clap_plugin_descriptor_t* Descriptor() const { return mPlugin ? mPlugin->desc : nullptr; }
  const void* Extension(const char* id);
  template <class T>
  const T* Extension(const char* id) {
    return static_cast<const T*>(Extension(id));
  }

  // The thread that counts as main (the constructing thread unless changed). Audio calls may come from any
  // thread, one at a time.
  void SetMainThread(std::thread::id id) { mMainThread = id; }
  // Whether the host offers timer and descriptor support, as a host without a main loop to lend does not.
  void OfferLoopExtensions(bool offer) { mOfferLoop = offer; }
  // What note_ports.supported_dialects answers (CLAP and MIDI unless changed); set before Load.
  void SetNoteDialects(uint32_t dialects) { mNoteDialects = dialects; }

  // Life cycle; each call is checked for its thread and state.
  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void Deactivate();
  bool StartProcessing();
  void StopProcessing();
  void Reset();
  void Destroy();
  void OnMainThread();

  // One process call: transport may be null; events go in as given (unsorted or out-of-block if a test wants
  // that). steady_time counts the frames processed since activation.
  ProcessResult Process(uint32_t frames, const std::vector<ClapEvent>& events,
                        const clap_event_transport_t* transport = nullptr);

  // Parameters.
  uint32_t ParamCount();
  bool ParamInfo(uint32_t index, clap_param_info_t* info);
  bool ParamValue(clap_id id, double* value);
  bool ValueToText(clap_id id, double value, std::string* text);
  bool TextToValue(clap_id id, const std::string& text, double* value);
  // params.flush: on the audio thread's terms while active, the main thread's while inactive.
  std::vector<ClapEvent> Flush(const std::vector<ClapEvent>& events);

  // State through the plug-in's clap.state; false when it refuses or the extension is missing.
  bool SaveState(std::vector<uint8_t>* bytes, const StreamBehaviour& behaviour = {});
  bool LoadState(const std::vector<uint8_t>& bytes, const StreamBehaviour& behaviour = {});

  // preset-load's from_location, under the extension's id or its older compatible one; false when refused or
  // missing.
  bool LoadPreset(uint32_t kind, const char* location, const char* loadKey, bool compatId = false);

  // GUI through the plug-in's clap.gui; false when missing or refused.
  bool GuiIsApiSupported(const char* api, bool floating);
  bool GuiCreate(const char* api, bool floating);
  bool GuiSetScale(double scale);
  bool GuiGetSize(uint32_t* width, uint32_t* height);
  bool GuiCanResize();
  bool GuiSetSize(uint32_t width, uint32_t height);
  bool GuiSetParent(const clap_window_t& window);
  bool GuiShow();
  bool GuiHide();
  void GuiDestroy();

  // The main loop's duties: fire due timers (all of them when force), report fd activity.
  int FireTimers(bool force);
  void FireFd(int fd, uint32_t flags);
  const std::map<clap_id, uint32_t>& Timers() const { return mTimers; }
  const std::map<int, uint32_t>& Fds() const { return mFds; }

  // What the plug-in asked for; safe to read once its threads are quiet.
  HostRequests Requests() const;
  std::vector<std::string> Violations() const;
  void ClearViolations();

 private:
  enum class State { kUnloaded, kCreated, kInitialising, kInactive, kActive, kProcessing, kDestroyed };
  class AudioCall;

  friend struct HostCallbacks;

  void Violation(const std::string& what) const;
  bool OnMainThreadNow() const;
  bool OnAudioThreadNow() const;
  // A host function tagged [main] was called: from the main thread and not inside an audio call.
  void CheckHostMain(const char* function) const;
  void CheckHostCall(const char* function) const;  // any thread, but not before init or inside create
  void CheckPluginMain(const char* function);
  bool CheckState(const char* function, std::initializer_list<State> allowed);
  const char* StateName() const;
  void Record(const std::function<void(HostRequests&)>& change) const;

  void Push(const clap_event_header_t* event);
  // A gui call after the checks every gui call gets; false when the plug-in lacks the function.
  template <class Member, class... Args>
  bool CallGui(const char* function, Member member, Args... args) {
    CheckPluginMain(function);
    if (!mGuiCreated && std::string(function) != "gui.is_api_supported")
      Violation(std::string(function) + " before gui.create");
    const auto* gui = Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    if (!gui || !(gui->*member)) return false;
    return (gui->*member)(mPlugin, args...);
  }

  const clap_plugin_entry_t* mEntry;
  std::string mPath;
  bool mEntryInitialised = false;
  clap_host_t mHost = {};
  const clap_plugin_t* mPlugin = nullptr;
  std::atomic<State> mState{State::kUnloaded};
  std::thread::id mMainThread;
  mutable std::atomic<std::thread::id> mAudioThread{};  // who is inside an audio call right now
  std::atomic<bool> mInProcess{false};
  int64_t mSteadyTime = 0;
  bool mGuiCreated = false;
  bool mOfferLoop = true;
  uint32_t mNoteDialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;

  // Output list state for the call in progress.
  struct OutputList {
    clap_output_events_t list;
    ClapTestHost* host;
    std::vector<ClapEvent>* out;
    uint32_t frames;  // 0: not a process call (flush): no block bound
    uint32_t lastTime;
    bool open;
  };
  std::unique_ptr<OutputList> mOutput;

  std::map<clap_id, uint32_t> mTimers;
  std::map<clap_id, std::chrono::steady_clock::time_point> mTimerDue;
  clap_id mNextTimer = 1;
  std::map<int, uint32_t> mFds;

  mutable std::mutex mLock;  // guards the two below: plug-ins report from any thread
  mutable HostRequests mRequests;
  mutable std::vector<std::string> mViolations;
};

// A .clap file opened for its clap_entry (platform code in ClapLibraryPosix.cpp / ClapLibraryWin.cpp).
class ClapLibrary {
 public:
  // Null with the reason when the file does not load or exports no clap_entry.
  static std::unique_ptr<ClapLibrary> Open(const std::string& path, std::string* error);
  ~ClapLibrary();
  ClapLibrary(const ClapLibrary&) = delete;
  ClapLibrary& operator=(const ClapLibrary&) = delete;
  const clap_plugin_entry_t* Entry() const { return mEntry; }

 private:
  ClapLibrary() = default;
  void* mModule = nullptr;
  const clap_plugin_entry_t* mEntry = nullptr;
};

}  // namespace clap_test

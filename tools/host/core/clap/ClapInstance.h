// A CLAP plug-in loaded from its .clap file, with the host side it talks to: entry and factory, the host
// extensions worth offering to a command-line tool, parameters, state, and the editor's timers and descriptors.
// The tool is single-threaded: its one thread is the main thread and, while processing, also the audio thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ClapAbi.h"

namespace cchost {

// Whether a path names a CLAP file (by its suffix, as hosts find them).
bool IsClapPath(const std::string& path);

class ClapInstance {
 public:
  // Loads the file, initialises its entry and creates and initialises its first plug-in (offline rendering
  // switched on where offered). Null with a message on failure.
  static std::unique_ptr<ClapInstance> Load(const std::string& path, std::string* error);
  // Stops, deactivates and destroys the plug-in, deinitialises the entry and unloads the file.
  ~ClapInstance();
  ClapInstance(const ClapInstance&) = delete;
  ClapInstance& operator=(const ClapInstance&) = delete;

  const clap_plugin_descriptor_t& Descriptor() const { return *mPlugin->desc; }
  const clap_version_t& EntryVersion() const { return mEntry->clap_version; }
  const clap_plugin_entry_t* Entry() const { return mEntry; }
  const std::string& Path() const { return mPath; }
  std::string Name() const;

  std::vector<clap_note_port_info_t> NotePorts(bool input) const;

  // Parameters as the plug-in listed them after init.
  const std::vector<clap_param_info_t>& Params() const { return mParams; }
  bool Value(clap_id id, double* value) const;
  // The plug-in's text for a value, or the number when it has none.
  std::string ValueText(clap_id id, double value) const;
  bool TextToValue(clap_id id, const std::string& text, double* value) const;
  // A plain value, through params.flush (before processing) or the next process call (while processing).
  bool SetValue(clap_id id, double value);

  bool HasState() const { return mState && mState->save && mState->load; }
  bool LoadState(const std::vector<uint8_t>& bytes, std::string* error);
  bool SaveState(std::vector<uint8_t>* bytes) const;

  // activate(sampleRate, 1, maxFrames) and start_processing; and back.
  bool Start(double sampleRate, uint32_t maxFrames, std::string* error);
  void Stop();
  // One process call with no audio ports. Outputs go to onOutput, in the order pushed, while it runs.
  using OutputHandler = std::function<void(const clap_event_header_t& event)>;
  clap_process_status Process(int64_t steadyTime, uint32_t frames, const clap_event_transport_t* transport,
                              const std::vector<const clap_event_header_t*>& inputs, const OutputHandler& onOutput);

  // Plug-in messages through clap.log; dropped without a handler.
  void SetLogHandler(std::function<void(clap_log_severity, const std::string&)> handler) {
    mLogHandler = std::move(handler);
  }

  // ---- editor ----
  const clap_plugin_gui_t* Gui() const { return mGui; }
  const clap_plugin_t* Plugin() const { return mPlugin; }
  // Answers request_resize; false refuses.
  void SetResizeHandler(std::function<bool(uint32_t, uint32_t)> handler) { mResizeHandler = std::move(handler); }
  // The main loop's share of the plug-in's work: waits up to timeoutMs on its descriptors (or the next timer),
  // then runs on_fd, due timers and a requested on_main_thread.
  void ServeMainThread(int timeoutMs);
  bool GuiClosed() const { return mGuiClosed; }
  size_t TimerCount() const { return mTimers.size(); }

 private:
  friend struct ClapHostCallbacks;
  struct Timer {
    uint32_t periodMs;
    std::chrono::steady_clock::time_point due;
  };

  ClapInstance() = default;
  void Flush(const std::vector<const clap_event_header_t*>& inputs);

  void* mModule = nullptr;
  bool mKeepModule = false;
  std::string mPath;
  const clap_plugin_entry_t* mEntry = nullptr;
  bool mEntryInitialised = false;
  clap_host_t mHost = {};
  const clap_plugin_t* mPlugin = nullptr;
  bool mActive = false, mProcessing = false, mAudioRole = false;

  const clap_plugin_note_ports_t* mNotePorts = nullptr;
  const clap_plugin_params_t* mParamsExt = nullptr;
  const clap_plugin_state_t* mState = nullptr;
  const clap_plugin_gui_t* mGui = nullptr;
  const clap_plugin_timer_support_t* mTimerExt = nullptr;
  const clap_plugin_posix_fd_support_t* mFdExt = nullptr;
  std::vector<clap_param_info_t> mParams;
  std::vector<clap_event_param_value_t> mPendingValues;  // for the next process call

  std::function<void(clap_log_severity, const std::string&)> mLogHandler;
  std::function<bool(uint32_t, uint32_t)> mResizeHandler;
  std::atomic<bool> mCallbackRequested{false};
  bool mGuiClosed = false;
  std::map<clap_id, Timer> mTimers;
  clap_id mNextTimer = 1;
  std::map<int, uint32_t> mFds;
};

}  // namespace cchost

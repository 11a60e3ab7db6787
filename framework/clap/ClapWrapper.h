// Hosts one plug-in in a CLAP host: lifecycle, process with its events both ways, note ports, parameters,
// state and the editor. Threads as the format's rules give them: process, reset, start and stop processing and
// an active flush on the audio thread (under the plug-in's audio lock); everything else on the main thread
// (under its lock).
#pragma once

#include <memory>
#include <vector>

#include "ClapAbi.h"
#include "ClapOutput.h"
#include "IPluginBase.h"

class ClapWrapper final : private IPluginHost, private IEditorHostLoop {
 public:
  ClapWrapper(const clap_host_t* host, const clap_plugin_descriptor_t* descriptor,
              std::unique_ptr<IPluginBase> plugin);
  ~ClapWrapper() override;

  const clap_plugin_t* ClapPlugin() const { return &mClapPlugin; }
  IPluginBase& Plugin() { return *mPlug; }
  static ClapWrapper* From(const clap_plugin_t* plugin);
  uint64_t DroppedOutput() const { return mOutput.Dropped(); }

 private:
  // The plug-in's calls, in ClapWrapper.cpp.
  bool Init();
  bool Activate(double sampleRate, uint32_t maxFrames);
  void Deactivate();
  void EndNotes();
  clap_process_status Process(const clap_process_t* process);
  const void* GetExtension(const char* id) const;

  // The block in stretches: one per transport change, none longer than the largest block activated with.
  void SetTransport(const clap_event_transport_t* transport, int64_t steadyTime);
  void RunUntil(uint32_t time);
  void HandleEvent(const clap_event_header_t* event, uint32_t frames);
  void DeliverMidi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);

  // Parameters and state, in ClapWrapperParams.cpp.
  const IParameter* ParamFor(clap_id id) const;
  bool ParamInfo(uint32_t index, clap_param_info_t* info) const;
  bool ParamValueText(clap_id id, double value, char* out, uint32_t capacity) const;
  bool ParamTextValue(clap_id id, const char* text, double* value) const;
  void SetParamFromEvent(const clap_event_header_t* event);
  void Flush(const clap_input_events_t* in, const clap_output_events_t* out);
  bool SaveState(const clap_ostream_t* stream);
  bool LoadState(const clap_istream_t* stream);
  // preset-load, in ClapPresets.cpp: failures go to the host's on_error and leave the state as it was.
  bool LoadPreset(uint32_t kind, const char* location, const char* loadKey);
  bool LoadPresetChunk(const std::vector<uint8_t>& bytes);

  // The editor, in ClapWrapperGui.cpp; the window system's part in ClapWindow*.cpp.
  bool GuiSupports(const char* api, bool floating) const;
  // The host's main loop runs the editor where the host offers timers and descriptors.
  bool WatchFd(int fd) override;
  bool StartTimer(int periodMs) override;
  void Stop() override;
  bool GuiSetParent(const clap_window_t* window);
  void GuiDestroy();

  // What the plug-in asks of its host.
  void BeginHostEdit(int paramIdx) override;
  void NotifyHostOfChange(int paramIdx, double normalizedValue) override;
  void EndHostEdit(int paramIdx) override;
  void GetTransportInfo(TransportInfo* info) override { *info = mStretchTransport; }
  bool SendMidiMessage(const IMidiMessage* msg) override { return mOutput.Add(*msg); }
  bool SendMidiMessages(const IMidiMessage* msgs, int count) override;
  // The user chose another size in the editor: the host is asked to make room for it.
  void OnEditorResized(int width, int height) override;
  void QueueEdit(ClapEditQueue::Kind kind, int paramIdx, double plainValue);

  static const clap_plugin_note_ports_t kNotePorts;
  static const clap_plugin_params_t kParams;
  static const clap_plugin_state_t kState;
  static const clap_plugin_preset_load_t kPresetLoad;
  static const clap_plugin_gui_t kGui;
  static const clap_plugin_timer_support_t kTimerSupport;
  static const clap_plugin_posix_fd_support_t kFdSupport;
  friend struct ClapCalls;
  friend struct ClapParamCalls;
  friend struct ClapGuiCalls;
  friend struct ClapPresetCalls;

  std::unique_ptr<IPluginBase> mPlug;
  const clap_host_t* mHost;
  clap_plugin_t mClapPlugin = {};
  const clap_host_params_t* mHostParams = nullptr;
  const clap_host_state_t* mHostState = nullptr;
  const clap_host_preset_load_t* mHostPresetLoad = nullptr;
  bool mNotesAsNoteEvents = false;  // the host takes no MIDI on our output

  bool mActive = false;
  uint32_t mMaxFrames = 1;
  bool mEndNotes = false;  // a reset or a stop: the next process ends what sounds
  ClapMidiOutput mOutput;
  ClapEditQueue mEdits;

  // The stretch being run: its first frame in the block and the transport there.
  uint32_t mStretchStart = 0;
  TransportInfo mStretchTransport;
  double mSamplesPerSecond = 44100.0;

  bool mGuiCreated = false;
  bool mGuiOpen = false;
  const clap_host_timer_support_t* mHostTimers = nullptr;
  const clap_host_posix_fd_support_t* mHostFds = nullptr;
  const clap_host_gui_t* mHostGui = nullptr;
  clap_id mTimer = CLAP_INVALID_ID;
  int mFd = -1;
};

// Hosts one plug-in in an LV2 host: ports, run(), MIDI and transport atoms, state, and the editor's way back to
// the host through the LV2 UI.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "IPluginBase.h"
#include "Lv2HostLink.h"
#include "Lv2MidiOutput.h"
#include "Lv2Transport.h"

// Where the editor's parameter gestures go: the LV2 UI, which passes them to the host from its own thread.
class Lv2EditorLink {
 public:
  virtual ~Lv2EditorLink() = default;
  virtual void BeginEdit(int port) = 0;
  virtual void ValueEdited(int port, float value) = 0;
  virtual void EndEdit(int port) = 0;
  // [under the plug-in's lock] The editor took a new size (the user chose one): the host is to be told.
  virtual void EditorResized(int /*width*/, int /*height*/) {}
  // [under the plug-in's lock] The UI no longer speaks for the plug-in: another UI took the editor, or the
  // plug-in is being deleted before its UI. It must not touch the plug-in again.
  virtual void Detach() = 0;
};

// Port layout: the atom input (MIDI and time:Position), the atom MIDI output, then one control port per
// defined host-visible parameter, in parameter order.
constexpr uint32_t kLv2EventsInPort = 0;
constexpr uint32_t kLv2MidiOutPort = 1;
constexpr uint32_t kLv2FirstControlPort = 2;

class Lv2Wrapper final : private IPluginHost {
 public:
  Lv2Wrapper(const Lv2HostLink* host, std::unique_ptr<IPluginBase> plugin);
  ~Lv2Wrapper() override;

  IPluginBase& Plugin() { return *mPlug; }

  // [instantiation] After the product's constructor has defined its parameters: ports, host setup and the
  // first handler pass. False when the host lacks a required feature (urid:map) or gave no usable rate.
  bool FinishInstantiation();

  // [instantiation] Host calls, as the entry point's descriptor forwards them.
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate();
  // [audio thread] One cycle; holds mLock throughout.
  void Run(uint32_t nFrames);
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // [UI thread] The UI attaches itself while it is open; null detaches.
  void SetEditorLink(Lv2EditorLink* link);
  Lv2EditorLink* EditorLink() const { return mEditorLink; }

  // Control ports: the parameter behind each, and the port of a parameter (-1 when it has none).
  int NumControlPorts() const { return static_cast<int>(mControlParams.size()); }
  int ParamForControlPort(int k) const { return mControlParams[static_cast<size_t>(k)]; }
  int PortForParam(int paramIdx) const;
  uint64_t DroppedOutput() const { return mOutput.Dropped(); }

 private:
  // What the plug-in asks of its host.
  void BeginHostEdit(int paramIdx) override;
  void NotifyHostOfChange(int paramIdx, double normalizedValue) override;
  void EndHostEdit(int paramIdx) override;
  void GetTransportInfo(TransportInfo* info) override;
  void OnEditorResized(int width, int height) override;
  bool SendMidiMessage(const IMidiMessage* msg) override;
  bool SendMidiMessages(const IMidiMessage* msgs, int count) override;

  struct URIDs {
    LV2_URID atomSequence = 0, atomObject = 0, atomBlank = 0, atomChunk = 0;
    LV2_URID atomInt = 0, atomLong = 0, atomFloat = 0, atomDouble = 0;
    LV2_URID midiEvent = 0;
    LV2_URID timePosition = 0, timeFrame = 0, timeSpeed = 0, timeBeatsPerMinute = 0, timeBeat = 0;
    LV2_URID timeBar = 0, timeBarBeat = 0, timeBeatsPerBar = 0, timeBeatUnit = 0;
    LV2_URID stateChunk = 0, stateProgram = 0;
    LV2_URID bufMaxBlockLength = 0;
  };
  enum class Phase { kIdle, kEvents, kBlock };

  void MapURIs(const Lv2HostLink* host);
  void ReadOptions(const Lv2HostLink* host);
  void ReadControlPorts();
  bool ReadPosition(const LV2_Atom* atom, Lv2Position* position) const;
  bool ReadNumber(const LV2_Atom* atom, double* value) const;
  void DeliverMidi(const LV2_Atom* atom, int64_t time);
  // Runs the stretch [mSegmentStart, end) of the cycle as one block, or as several when it is longer than
  // the block size the plug-in was set up for.
  void RunSegment(int64_t end);
  void RunUntil(int64_t time);

  std::unique_ptr<IPluginBase> mPlug;
  LV2_URID_Map* mMap = nullptr;
  URIDs mURIDs;
  int mMaxBlockLength = 0;
  const LV2_Atom_Sequence* mEventsIn = nullptr;
  LV2_Atom_Sequence* mMidiOut = nullptr;
  std::vector<int> mControlParams;
  std::vector<int> mParamPorts;
  std::vector<const float*> mControlPorts;
  std::vector<float> mLastControl;
  std::unique_ptr<std::atomic<bool>[]> mEditorGesture;
  // Per parameter: the value the editor last sent the host, until it echoes.
  std::unique_ptr<std::atomic<float>[]> mEditorSent;
  std::vector<double*> mNoBuffers;  // the LV2 build has no audio ports: ProcessBlock sees null channels
  Lv2Transport mTransport;
  Lv2MidiOutput mOutput;
  Phase mPhase = Phase::kIdle;
  int64_t mSegmentStart = 0;
  Lv2EditorLink* mEditorLink = nullptr;
};

// The in-process VST 2.4 host of the tests, fuzz targets and benchmarks: drives an AEffect through its function
// pointers, answers its calls from a transport the caller sets, and records what the plug-in sends back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "VstEntry.h"
#include "VstAbi.h"

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  float opt;
};

struct MidiEvent {
  int block;  // the processing block (counted from 0) during which the event arrived
  int offset;
  uint8_t status, data1, data2;
  int batch;              // which audioMasterProcessEvents call brought it, counted from 0
  int position;           // its index in that call's list
  bool duringProcessing;  // whether that call came inside a processing call

  bool IsNoteOn() const { return (status & 0xF0) == 0x90 && data2 > 0; }
  bool IsNoteOff() const { return (status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && data2 == 0); }
  int Channel() const { return status & 0x0F; }
};

class TestHost {
 public:
  // kCounting is for benchmarks and fuzzing: the callback keeps no log and allocates nothing, so that a plug-in
  // and its floor pay the same host cost. Both modes count batches and events and call mOnEvent.
  enum class Mode { kRecording, kCounting };
  enum class Precision { kSingle, kDouble, kAccumulating };
  typedef AEffect* (*EntryPoint)(audioMasterCallback);

  explicit TestHost(Mode mode = Mode::kRecording);
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  // Creates the plug-in the way VSTPluginMain does and opens it (effOpen unless open is false).
  AEffect* Load(PluginFactory factory, bool open = true);
  // Through an entry point of the VSTPluginMain kind, such as the benchmarks' C floor plug-in's.
  AEffect* LoadEntry(EntryPoint entry, bool open = true);
  // Opens a module file and loads the plug-in through its VSTPluginMain, as a host loads any plug-in.
  bool LoadModule(const std::string& path, std::string* error);
  // Sample rate (also the transport's) and block size, then switched on, as a host does before it plays.
  void Start(double sampleRate, int blockSize);
  // Switches off what Start switched on, closes the plug-in and the module it came from.
  void Close();
  AEffect* Effect() const { return mEffect; }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void SetParameter(int index, float value);
  float GetParameter(int index);
  std::string ParamDisplay(int index);
  std::string ParamName(int index);
  int ParamIndex(const std::string& name);  // -1 when no parameter has that name
  // The display text for a normalised value as such (unrounded), and after setting the parameter to it.
  std::string ParamDisplayFor(int index, float normalized);
  std::string ParamDisplayAt(int index, float normalized);
  std::vector<uint8_t> GetChunk(bool bank);
  bool SetChunk(const std::vector<uint8_t>& bytes, bool bank);

  // The transport: what audioMasterGetTime answers, flags included, with ppqPos worked out from samplePos, tempo
  // and sampleRate at each call. While playing, each block moves samplePos on.
  VstTimeInfo mTime = {};
  void SetTransport(double samplePos, double tempo, bool playing);
  void SetSamplePos(double samplePos);
  void SetTempo(double tempo);
  void SetPlaying(bool playing);
  void SetTimeInfoAvailable(bool available) { mTimeInfoAvailable = available; }
  bool TimeInfoAvailable() const { return mTimeInfoAvailable; }
  double SamplePos() const { return mTime.samplePos; }

  // Sends MIDI events (status, data1, data2, offset) through effProcessEvents.
  void SendMidi(uint8_t status, uint8_t data1, uint8_t data2, int offset);
  void SendEvents(VstEvents* events);
  // One processing call of frames on mIn/mOut (single, accumulating) or mInDouble/mOutDouble, as many channels
  // as the plug-in declares (at most kMaxChannels) and at least two; the block counter moves on.
  void Process(int frames, Precision precision = Precision::kSingle);
  void ProcessDouble(int frames) { Process(frames, Precision::kDouble); }
  int Block() const { return mBlock; }
  // The frames of the processing call under way, -1 outside one.
  int ProcessingFrames() const { return mProcessingFrames; }

  std::vector<MidiEvent> TakeMidi();
  void ClearMidi() { mMidiOut.clear(); }  // keeps the storage
  void Reserve(size_t n) {
    mMidiOut.reserve(n);
    mCalls.reserve(n);
    mForwardedEvents.reserve(n);
    mForwardedSysEx.reserve(n);
  }
  const std::vector<MidiEvent>& Midi() const { return mMidiOut; }
  std::vector<HostCall> CallsWith(VstInt32 opcode) const;
  void ClearCalls() { mCalls.clear(); }

  static constexpr int kMaxChannels = 8;
  std::vector<float> mIn[kMaxChannels], mOut[kMaxChannels];
  std::vector<double> mInDouble[kMaxChannels], mOutDouble[kMaxChannels];
  std::vector<HostCall> mCalls;
  struct ForwardedEvent {
    int block, batch, position;
    bool duringProcessing;
    VstInt32 type;
    int offset;
  };
  std::vector<ForwardedEvent> mForwardedEvents;  // non-MIDI events handed back
  std::vector<uint8_t> mForwardedSysEx;          // their SysEx dumps, one after the other
  int mBatches = 0;                              // audioMasterProcessEvents calls so far
  size_t mEventsReceived = 0;                    // entries of those calls, null ones included
  // Each event handed back, as it arrives (inside the plug-in's call), in either mode.
  std::function<void(const VstEvent&)> mOnEvent;
  std::string mProductString = "Test Host";
  VstIntPtr mVendorVersion = 30105;
  VstIntPtr mProcessEventsResult = 1;

 private:
  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt);
  VstIntPtr OnCallback(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void Receive(const VstEvents* events);
  AEffect* Opened(AEffect* effect, bool open);
  int Channels() const;
  template <typename Sample>
  static void PrepareBuffers(std::vector<Sample>* buffers, Sample** pointers, int channels, int frames);

  const Mode mMode;
  AEffect* mEffect = nullptr;
  void* mModule = nullptr;
  bool mStarted = false;
  bool mTimeInfoAvailable = true;
  int mProcessingFrames = -1;
  int mBlock = 0;
  float* mFloatPointers[2][kMaxChannels] = {};
  double* mDoublePointers[2][kMaxChannels] = {};
  std::vector<MidiEvent> mMidiOut;
};

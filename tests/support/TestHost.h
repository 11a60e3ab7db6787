// A scripted VST 2.4 host for tests: drives an AEffect through its function pointers and records
// every audioMaster call and every MIDI event the plug-in sends back.
#pragma once

#include <cstdint>
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
  TestHost() = default;
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  // Creates the plug-in the way VSTPluginMain does and opens it (effOpen unless open is false).
  AEffect* Load(PluginFactory factory, bool open = true);
  void Close();
  AEffect* Effect() const { return mEffect; }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void SetParameter(int index, float value);
  float GetParameter(int index);
  std::string ParamDisplay(int index);
  std::string ParamName(int index);

  // Transport: the position advances by each processed block while playing.
  void SetTransport(double samplePos, double tempo, bool playing);
  void SetPlaying(bool playing) { mPlaying = playing; }
  void SetSamplePos(double samplePos) { mSamplePos = samplePos; }
  void SetTempo(double tempo) { mTempo = tempo; }
  void SetTimeInfoAvailable(bool available) { mTimeInfoAvailable = available; }
  double SamplePos() const { return mSamplePos; }

  // Sends MIDI events (status, data1, data2, offset) through effProcessEvents.
  void SendMidi(uint8_t status, uint8_t data1, uint8_t data2, int offset);
  void SendEvents(VstEvents* events);
  // One processReplacing call of nFrames on stereo float buffers; the block counter moves on.
  void Process(int nFrames);
  void ProcessDouble(int nFrames);
  int Block() const { return mBlock; }

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

  std::vector<float> mIn[2], mOut[2];
  std::vector<HostCall> mCalls;
  bool mRecordCalls = true;  // benchmarks turn it off: a real host keeps no such log
  struct ForwardedEvent {
    int block, batch, position;
    bool duringProcessing;
    VstInt32 type;
    int offset;
  };
  std::vector<ForwardedEvent> mForwardedEvents;  // non-MIDI events handed back
  std::vector<uint8_t> mForwardedSysEx;          // their SysEx dumps, one after the other
  int mBatches = 0;                              // audioMasterProcessEvents calls so far
  std::string mProductString = "Test Host";
  VstIntPtr mVendorVersion = 30105;
  VstIntPtr mProcessEventsResult = 1;

 private:
  static VstIntPtr VST_CALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt);
  VstIntPtr OnCallback(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void PrepareBuffers(int nFrames);

  AEffect* mEffect = nullptr;
  VstTimeInfo mTimeInfo = {};
  double mSamplePos = 0.0;
  double mTempo = 120.0;
  bool mPlaying = false;
  bool mTimeInfoAvailable = true;
  bool mInProcessing = false;
  std::vector<double> mInDouble[2], mOutDouble[2];  // kept, so that double blocks allocate nothing once warm
  int mBlock = 0;
  std::vector<MidiEvent> mMidiOut;
};

// Hosts one plug-in in a VST 2.4 host: the AEffect, dispatcher, processing and MIDI.
#pragma once

#include <memory>

#include "IPluginBase.h"
#include "VstAbi.h"
#include "VstMidiOutput.h"

class VstWrapper final : private IPluginHost {
 public:
  VstWrapper(audioMasterCallback hostCallback, std::unique_ptr<IPluginBase> plugin);
  ~VstWrapper() override;

  AEffect* GetAEffect() { return &mEffect; }
  IPluginBase& Plugin() { return *mPlug; }
  static VstWrapper* FromEffect(AEffect* effect);
  // Asks the host who it is, once, and lets the plug-in adapt its channels.
  void InitForHost();

 private:
  // Host entry points, on the threads IPluginBase.h describes: the dispatcher holds the plug-in's lock
  // (effProcessEvents its audio lock instead), processing the audio lock, setParameter and getParameter no lock.
  static VstIntPtr VST_CALLBACK VstDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
  static void VST_CALLBACK VstProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VST_CALLBACK VstProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VST_CALLBACK VstProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                     VstInt32 nFrames);
  static float VST_CALLBACK VstGetParameter(AEffect* effect, VstInt32 index);
  static void VST_CALLBACK VstSetParameter(AEffect* effect, VstInt32 index, float value);

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr DispatchEditor(VstInt32 opcode, void* ptr);
  VstIntPtr DispatchPrograms(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);
  VstIntPtr DispatchParameterText(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* question) const;
  VstIntPtr GetChunk(VstInt32 index, void** data);
  VstIntPtr SetChunk(VstInt32 index, VstIntPtr size, const void* data);
  VstIntPtr ProcessEvents(const VstEvents* events);
  VstIntPtr GetPinProperties(VstInt32 index, VstPinProperties* properties, bool input) const;
  VstIntPtr SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);
  bool ForwardVstEvent(VstEvent* event);
  void ProcessSinglePrecision(float** inputs, float** outputs, VstInt32 nFrames, bool accumulate);
  void ProcessDoublePrecision(double** inputs, double** outputs, VstInt32 nFrames);
  // Returns the usable frame count (0 for a nonsensical one).
  int PrepareBlock(int nFrames);
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  const VstTimeInfo* GetTimeInfo(VstInt32 filter);
  void UpdateEditorRect();

  // What the plug-in asks of its host.
  void BeginHostEdit(int paramIdx) override;
  void NotifyHostOfChange(int paramIdx, double normalizedValue) override;
  void EndHostEdit(int paramIdx) override;
  void GetTransportInfo(TransportInfo* info) override;
  // During a processing call: into that call's one host call. Outside one: held for the next processing call.
  bool SendMidiMessage(const IMidiMessage* msg) override;
  bool SendMidiMessages(const IMidiMessage* msgs, int count) override;
  void OnEditorResized(int width, int height) override;

  std::unique_ptr<IPluginBase> mPlug;

  ERect mEditorRect = {};
  audioMasterCallback mHostCallback;
  VstSpeakerArrangement mInputArrangement = {};
  VstSpeakerArrangement mOutputArrangement = {};
  bool mHostInitDone = false;
  IStateChunk mProgramState;
  IStateChunk mBankState;
  AEffect mEffect = {};
  VstMidiOutput mMidiOutput;
};

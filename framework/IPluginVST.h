// Connects the plug-in base to a VST 2.4 host: the AEffect, dispatcher, processing and MIDI.
#pragma once

#include "IPluginBase.h"
#include "VstAbi.h"
#include "VstMidiOutput.h"

class IPluginVST : public IPluginBase {
 public:
  IPluginVST(audioMasterCallback hostCallback, int nParams, const char* channelIOString, int nPresets,
             const char* effectName, const char* productName, const char* vendorName, int version, int uniqueId,
             int vendorId, int latency, bool doesMidi, bool doesChunks, bool isInstrument);
  ~IPluginVST() override;

  AEffect* GetAEffect() { return &mEffect; }

  void BeginHostEdit(int paramIdx) override;
  void NotifyHostOfChange(int paramIdx, double normalizedValue) override;
  void EndHostEdit(int paramIdx) override;
  int GetSamplePosition() override;
  double GetTempo() override;
  void GetTimeSignature(int* numerator, int* denominator) override;
  void GetTransportInfo(TransportInfo* info) override;
  int GetHostCode() override;
  void OnEditorResized(int width, int height) override;
  void InitForHost() override;
  void AttachEditor(IEditorInterface* graphics) override;
  void SetLatency(int samples) override;
  // During a processing call: into that call's one host call. Outside one: held for the next processing call.
  bool SendMidiMessage(const IMidiMessage* msg) override;
  bool SendMidiMessages(const IMidiMessage* msgs, int count) override;

 private:
  // Host entry points, on the threads IPluginBase.h describes: the dispatcher holds mLock (effProcessEvents
  // mAudioLock instead), processing mAudioLock, setParameter and getParameter no lock.
  static VstIntPtr VST_CALLBACK VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
  static void VST_CALLBACK VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VST_CALLBACK VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VST_CALLBACK VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                                     VstInt32 nFrames);
  static float VST_CALLBACK VSTGetParameter(AEffect* effect, VstInt32 index);
  static void VST_CALLBACK VSTSetParameter(AEffect* effect, VstInt32 index, float value);

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
  static IPluginVST* FromEffect(AEffect* effect);

  ERect mEditorRect = {};
  audioMasterCallback mHostCallback;
  VstSpeakerArrangement mInputArrangement = {};
  VstSpeakerArrangement mOutputArrangement = {};
  bool mHostInitDone = false;
  bool mDoesMidi;
  IStateChunk mProgramState;
  IStateChunk mBankState;
  AEffect mEffect = {};
  VstMidiOutput mMidiOutput;
};

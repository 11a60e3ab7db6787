// The Cyclochord plug-in: its parameters and the pipeline that turns trigger notes into voiced, delayed notes.
#pragma once

#include <cstdint>
#include <vector>

#include "CyclochordIdentity.h"
#include "NoteTracker.h"
#include "ParamChangeDesc.h"
#include "PluginFormat.h"
#include "ScaleMap.h"
#include "TriggerTracker.h"
#include "Voice.h"

class Cyclochord : public IPluginFormat {
 public:
  explicit Cyclochord(IPluginHostLink host);
  ~Cyclochord() override;

  // [any thread, under mLock]
  void Reset() override;
  void OnParameterChange(int paramIdx) override;
  // [audio thread, under mLock] Called once per incoming MIDI event, before the block's ProcessBlock.
  void ProcessMidiMessage(IMidiMessage* msg) override;
  // [audio thread, under mLock] Sends what falls due in the block; the audio buffers are left alone.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  bool ProcessesAudio() const override { return false; }

  int PendingNoteEvents() const { return mNoteTracker.NumPending(); }

 private:
  static constexpr int kNumParams = CyclochordIdentity::kNumParams;

  void RegisterParameters();
  Voice* VoiceForParam(int paramIdx);
  void UpdateDelays();

  int32_t ScheduleOffset(int32_t offset);
  void Trigger(int note, int velocity, int32_t offset);
  void Emit(Voice& voice, int note, int velocity, int32_t offset, NoteGroup** pCurrentGroup);
  void Release(int note, int32_t offset);
  void SilenceChannel(int channel, int32_t offset);
  void SilenceSounding();
  void AddSoundingNoteOffs();
  void AddOutMsg(const IMidiMessage& msg);
  void SendOutMsgs();

  // Parameter handlers, named by the descriptor tables.
  void OnChannel(const ParamChangeDesc* pDesc, double value);
  void OnVelocity(const ParamChangeDesc* pDesc, double value);
  void OnParallelInterval(const ParamChangeDesc* pDesc, double value);
  void OnRotatorInterval(const ParamChangeDesc* pDesc, double value);
  void OnVoiceMute(const ParamChangeDesc* pDesc, double value);
  void OnIntervalMute(const ParamChangeDesc* pDesc, double value);
  void OnDelay(const ParamChangeDesc* pDesc, double value);
  void OnAlgorithm(const ParamChangeDesc* pDesc, double value);
  void OnSnap(const ParamChangeDesc* pDesc, double value);
  void OnScale(const ParamChangeDesc* pDesc, double value);
  void OnTonic(const ParamChangeDesc* pDesc, double value);
  void OnHuman(const ParamChangeDesc* pDesc, double value);
  void OnInactive(const ParamChangeDesc* pDesc, double value);
  void OnFileSelect(const ParamChangeDesc* pDesc, double value);

  static const IntParamDesc kIntParams[];
  static const BoolParamDesc kBoolParams[];
  static const EnumParamDesc kEnumParams[];
  static const DoubleParamDesc kDoubleParams[];
  static const ParamChangeDesc kInternalParams[];

  double mSampleRateCopy = 44100.0;
  double mTempo = 120.0;
  double mSamplesPerBeat = 22050.0;
  // 64 bits: positions of long sessions pass the 32-bit range (13.5 hours at 44.1 kHz).
  int64_t mBlockStart = -2;
  int64_t mNextBlockStart = -1;
  // Incoming notes are never scheduled before an earlier-delivered one, so a release cannot precede its note.
  int32_t mEarliestOffset = 0;
  uint32_t mRandomState[2] = {kRandomSeed0, kRandomSeed1};
  Voice mMainVoice;
  Voice mParallelVoice;
  Voice mRotatorVoice[2];
  ScaleMap mScaleMap;
  NoteTracker mNoteTracker;
  TriggerTracker mTriggerTracker;
  std::vector<IMidiMessage> mOutMsgs;
  double mHumanSpan = 0.0;  // stored only: output timing is never randomised
  const ParamChangeDesc* mpParamChangeDesc[kNumParams] = {};
};

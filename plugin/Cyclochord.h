// The Cyclochord plug-in: its parameters and the pipeline that turns trigger notes into voiced, delayed notes.
#pragma once

#include <cstdint>
#include <vector>

#include "CyclochordIdentity.h"
#include "ParamChangeDesc.h"
#include "IPluginBase.h"
#include "VoiceActivity.h"
#include "VoicingEngine.h"

class Cyclochord final : public IPluginBase, private NoteSink {
 public:
  Cyclochord();
  ~Cyclochord() override;

  // [control thread, under mAudioLock]
  void Reset() override;
  void SetBlockSize(int blockSize) override;
  // [any thread] Only what needs no engine.
  void OnParameterChange(int paramIdx) override;
  // [audio thread] Parameter handlers reach the engine only here.
  void ApplyParameter(int paramIdx, double value) override;
  // [audio thread] Called once per incoming MIDI event, before the block's ProcessBlock.
  void ProcessMidiMessage(IMidiMessage* msg) override;
  // [audio thread] Sends what falls due in the block; the audio buffers are left alone.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  bool ProcessesAudio() const override { return false; }
  void EndAllNotes() override { mEngine.Restart(); }

  int PendingNoteEvents() const { return mEngine.NumPending(); }
  // [any thread] What the editor's lights show; see VoiceActivity for the bits.
  const std::atomic<uint32_t>* ActivityWord() const { return mActivity.Word(); }

 private:
  static constexpr int kNumParams = CyclochordIdentity::kNumParams;

  void RegisterParameters();
  static VoiceId VoiceForParam(int paramIdx);
  // The engine's output of a block, straight into the host's list.
  void Send(const NoteEvent& event) override;

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

  static const IntParamDesc kIntParams[];
  static const BoolParamDesc kBoolParams[];
  static const EnumParamDesc kEnumParams[];
  static const DoubleParamDesc kDoubleParams[];
  static const ParamChangeDesc kInternalParams[];

  VoicingEngine mEngine;
  VoiceActivity mActivity;
  double mHumanSpan = 0.0;  // stored only: output timing is never randomised
  bool mBlockMovedNotes = true;  // a message came in or went out since the last block's end
  const ParamChangeDesc* mpParamChangeDesc[kNumParams] = {};
};

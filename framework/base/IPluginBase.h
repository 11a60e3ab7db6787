// Host-independent base of the plug-in object: parameters, presets, channels, editor and locks.
//
// Threads. Hosts call a plug-in from several threads at once, and the audio thread must never wait on another
// thread's long work. Each entry point runs on one of three:
//   audio thread   processing calls (VST processReplacing and processDoubleReplacing, LV2 run) and the event
//                  delivery that precedes them (effProcessEvents). They hold mAudioLock only.
//   control thread everything else the host asks: programs, chunks and LV2 state, names, the editor's opening
//                  and closing. It holds mLock. Sample rate, block size and activation changes also take
//                  mAudioLock, for as long as they take; hosts make them while processing is suspended.
//   editor thread  the editor's own (X11) or the host's window thread (Windows): it draws and takes input under
//                  mLock, and reads parameter values, never the plug-in's audio-side state.
//   Parameter values are atomics, set and read from any thread without a lock (VST setParameter and
//   getParameter may come from any of them). A change reaches the audio side as a bit in mChangedParams: the
//   next audio-thread call hands every changed value to ApplyParameter, in one batch and never half of a load
//   of many values (programs, chunks, LV2 state): a load in progress waits for the next call. The editor takes
//   the values it shows at each of its ticks.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "IEditorInterface.h"
#include "IMidiMessage.h"
#include "IParameter.h"
#include "IPluginHost.h"
#include "IPresetSlot.h"
#include "IStateChunk.h"
#include "RecursiveLock.h"

constexpr int kNameSize = 128;

struct IChannelConfig {
  int32_t mNumInputs;
  int32_t mNumOutputs;
};

struct IInputChannel {
  bool mConnected = false;
  double** mpBuffer = nullptr;  // this channel's entry of mInputBuffers
  std::vector<double> mScratch;
};

struct IOutputChannel {
  bool mConnected = false;
  double** mpBuffer = nullptr;  // this channel's entry of mOutputBuffers
  float* mpDestination = nullptr;
  std::vector<double> mScratch;
};

class IPluginBase {
 public:
  IPluginBase(int nParams, const char* channelIOString, int nPresets, const char* effectName,
              const char* productName, const char* vendorName, int version, int uniqueId, int vendorId,
              int latency, bool doesMidi, bool doesChunks, bool isInstrument);
  virtual ~IPluginBase();
  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  virtual void Reset();
  // [any thread] A parameter's value was set; it reaches ApplyParameter at the next audio-thread call.
  virtual void OnParameterChange(int paramIdx);
  // [audio thread] A changed value for the audio side.
  virtual void ApplyParameter(int /*paramIdx*/, double /*value*/) {}
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // A plug-in whose ProcessBlock neither reads nor writes audio says so here (a virtual rather than one more
  // constructor argument: it sits beside the ProcessBlock it describes). The host's outputs then get silence
  // written straight into them, no conversion runs, and ProcessBlock receives null buffer tables.
  virtual bool ProcessesAudio() const { return true; }
  virtual void OnEditorOpen() {}
  virtual void OnEditorClose() {}
  virtual void OnActivate(bool active);
  // [audio thread, or while processing is suspended] Processing starts afresh: what waits to be sent is dropped
  // and what sounds ends at the first frame of the next block.
  virtual void EndAllNotes() {}
  virtual void ProcessMidiMessage(IMidiMessage* msg);
  virtual bool GetMidiNoteName(int noteNumber, char* name);
  virtual bool SerializeState(IStateChunk* chunk);
  virtual int UnserializeState(IStateChunk* chunk, int startPos);
  virtual void AttachEditor(IEditorInterface* graphics);
  virtual void SetBlockSize(int blockSize);

  // The format's wrapper that hosts this plug-in; until one attaches, the calls below reach nobody.
  void AttachHost(IPluginHost* host) { mHost = host; }
  void BeginHostEdit(int paramIdx) {
    if (mHost) mHost->BeginHostEdit(paramIdx);
  }
  void NotifyHostOfChange(int paramIdx, double normalizedValue) {
    if (mHost) mHost->NotifyHostOfChange(paramIdx, normalizedValue);
  }
  void EndHostEdit(int paramIdx) {
    if (mHost) mHost->EndHostEdit(paramIdx);
  }
  void GetTransportInfo(TransportInfo* info) {
    if (mHost) {
      mHost->GetTransportInfo(info);
    } else {
      *info = TransportInfo();
    }
  }
  bool SendMidiMessage(const IMidiMessage* msg) { return mHost && mHost->SendMidiMessage(msg); }
  bool SendMidiMessages(const IMidiMessage* msgs, int count) { return mHost && mHost->SendMidiMessages(msgs, count); }
  void OnEditorResized(int width, int height) {
    if (mHost) mHost->OnEditorResized(width, height);
  }
  int GetHostCode() const { return mHostCode; }

  // Editor side: sets a parameter, tells the host and passes it on.
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  // Sets a parameter from its normalised value and passes it on, as a host's automation does.
  void SetParameterFromHost(int paramIdx, double normalizedValue);
  void NotifyAllParameters();
  // [audio thread] Hands the values changed since the last call to ApplyParameter. Inline: most calls find none.
  void ApplyParameterChanges() {
    if (mHasChanges.load(std::memory_order_relaxed)) TakeParameterChanges();
  }
  // Counts the changes of a parameter made by anyone but the editor (host automation, programs, chunks), so that
  // the editor can follow them without being told, and without taking back its own.
  uint32_t ParameterGeneration(int paramIdx) const {
    return paramIdx >= 0 && paramIdx < kMaxParams ? mParamGenerations[paramIdx].load(std::memory_order_acquire)
                                                  : 0;
  }
  void PushParamsToEditor();
  bool LegalIO(int nInputs, int nOutputs) const;
  void SetHost(const char* productText, int version);
  int GetEffectVersion(bool decimal) const;
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }

  void SetInputsConnected(int start, int count, bool connected);
  void SetOutputsConnected(int start, int count, bool connected);
  void AttachInputBuffers(float** hostInputs, int nFrames);
  void AttachInputBuffers(double** hostInputs);
  void AttachOutputBuffers(float** hostOutputs);
  void AttachOutputBuffers(double** hostOutputs);
  void RunReplacing(int nFrames, bool singlePrecision);
  void RunAccumulating(int nFrames);
  void RunWithoutAudio(int nFrames) { ProcessBlock(nullptr, nullptr, nFrames); }
  // Zeros in the host's output buffers from index first on (one per output channel); null tables and entries are
  // skipped. Replacing calls give silence to the buffers that no connected channel takes.
  void WriteSilence(float** hostOutputs, int nFrames, int first = 0);
  void WriteSilence(double** hostOutputs, int nFrames, int first = 0);
  int NConnectedOutputs() const;
  void LimitToStereo();
  void AddStereoIO();

  // Presets and state chunks.
  bool SerializeParams(IStateChunk* chunk);
  int UnserializeParams(IStateChunk* chunk, int startPos);
  static void BeginStateChunk(IStateChunk* chunk);
  static int ReadChunkVersion(IStateChunk* chunk, int* position);
  void EnsurePresetSlot();
  void FillPresetSlots(const char* name, int count);
  bool RestorePreset(int index);
  void StoreCurrentPreset(const char* name);
  const char* GetPresetName(int index) const;
  void MakeUserPresetName(char* out) const;

  IParameter* GetParam(int paramIdx) const;
  int NParams() const { return static_cast<int>(mParameters.size()); }
  int NHostParams() const { return mNumParams; }
  int NPresets() const { return static_cast<int>(mPresetSlots.size()); }
  int NInChannels() const { return static_cast<int>(mInputs.size()); }
  int NOutChannels() const { return static_cast<int>(mOutputs.size()); }
  bool IsInChannelConnected(int channel) const;
  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetCurrentPreset() const { return mCurrentPreset; }
  const char* EffectName() const { return mEffectName; }
  const char* ProductName() const { return mProductName; }
  const char* VendorName() const { return mVendorName; }
  int32_t UniqueId() const { return mUniqueId; }
  int32_t VendorId() const { return mVendorId; }
  int Latency() const { return mLatency; }
  bool DoesMidi() const { return mDoesMidi; }
  bool DoesChunks() const { return mDoesChunks; }
  bool IsInstrument() const { return mIsInstrument; }
  IEditorInterface* GetGraphics() const { return mGraphics.get(); }
  RecursiveLock& Lock() { return mLock; }
  RecursiveLock& AudioLock() { return mAudioLock; }

 protected:
  std::vector<std::unique_ptr<IParameter>> mParameters;
  std::vector<IPresetSlot> mPresetSlots;
  std::vector<IChannelConfig> mChannelConfigs;
  char mEffectName[kNameSize] = {};
  char mProductName[kNameSize] = {};
  char mVendorName[kNameSize] = {};
  int32_t mUniqueId;
  int32_t mVendorId;
  int32_t mVersion;
  int32_t mHostCode = -1;
  int32_t mHostVersion = 0;
  bool mDoesMidi;
  bool mDoesChunks;
  bool mIsInstrument;
  double mSampleRate = 44100.0;
  int32_t mBlockSize = 0;
  int32_t mLatency;
  std::unique_ptr<IEditorInterface> mGraphics;
  int32_t mCurrentPreset = 0;
  std::vector<double*> mInputBuffers;
  std::vector<double*> mOutputBuffers;
  std::vector<IInputChannel> mInputs;
  std::vector<IOutputChannel> mOutputs;
  RecursiveLock mLock;
  RecursiveLock mAudioLock;
  int32_t mNumParams;
  IPluginHost* mHost = nullptr;

 private:
  void ParseChannelIOString(const char* channelIOString);
  void CreateChannels(int nInputs, int nOutputs);
  void MarkParameterChanged(int paramIdx);
  void TakeParameterChanges();

  static constexpr int kMaxParams = 256;
  static constexpr int kChangeWords = kMaxParams / 64;
  std::atomic<uint64_t> mChangedParams[kChangeWords] = {};
  std::atomic<bool> mHasChanges{false};  // any bit of mChangedParams set
  std::atomic<uint32_t> mParamGenerations[kMaxParams] = {};
  // Odd while a load of many values is being written.
  std::atomic<uint32_t> mLoadSequence{0};
};

#include "IPluginBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Assert.h"
#include "HostIdentification.h"
#include "Text.h"

IPluginBase::IPluginBase(int nParams, const char* channelIOString, int nPresets, const char* effectName,
                         const char* productName, const char* vendorName, int version, int uniqueId, int vendorId,
                         int latency, bool doesMidi, bool doesChunks, bool isInstrument)
    : mUniqueId(uniqueId),
      mVendorId(vendorId),
      mVersion(version),
      mDoesMidi(doesMidi),
      mDoesChunks(doesChunks),
      mIsInstrument(isInstrument),
      mLatency(latency),
      mNumParams(nParams) {
  for (int i = 0; i < nParams; ++i) mParameters.push_back(std::make_unique<IParameter>());
  mPresetSlots.resize(static_cast<size_t>(std::max(nPresets, 0)));
  for (size_t i = 0; i < mPresetSlots.size(); ++i)
    std::snprintf(mPresetSlots[i].mName, kPresetNameSize, "- %d -", static_cast<int>(i) + 1);
  CopyText(mEffectName, kNameSize, effectName);
  CopyText(mProductName, kNameSize, productName);
  CopyText(mVendorName, kNameSize, vendorName);
  ParseChannelIOString(channelIOString);
}

IPluginBase::~IPluginBase() { mGraphics.reset(); }

void IPluginBase::ParseChannelIOString(const char* channelIOString) {
  int maxInputs = 0, maxOutputs = 0;
  const char* p = channelIOString;
  while (p) {
    IChannelConfig config;
    const bool channelIOStrValid = std::sscanf(p, "%d-%d", &config.mNumInputs, &config.mNumOutputs) == 2;
    CC_ASSERT(channelIOStrValid);
    mChannelConfigs.push_back(config);
    maxInputs = std::max(maxInputs, config.mNumInputs);
    maxOutputs = std::max(maxOutputs, config.mNumOutputs);
    p = std::strchr(p, ' ');
    if (p) ++p;
  }
  CreateChannels(maxInputs, maxOutputs);
}

void IPluginBase::CreateChannels(int nInputs, int nOutputs) {
  mInputs.resize(static_cast<size_t>(nInputs));
  mOutputs.resize(static_cast<size_t>(nOutputs));
  mInputBuffers.resize(mInputs.size(), nullptr);
  mOutputBuffers.resize(mOutputs.size(), nullptr);
  // The buffer tables may have moved: point every record at its entry again.
  for (size_t i = 0; i < mInputs.size(); ++i) mInputs[i].mpBuffer = &mInputBuffers[i];
  for (size_t i = 0; i < mOutputs.size(); ++i) mOutputs[i].mpBuffer = &mOutputBuffers[i];
}

void IPluginBase::Reset() {}

void IPluginBase::OnParameterChange(int) {}

void IPluginBase::OnActivate(bool) {}

void IPluginBase::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  if (!inputs || !outputs) return;  // a plug-in that makes no audio gets no buffers
  const int nIn = NInChannels(), nOut = NOutChannels();
  for (int c = 0; c < nOut; ++c) {
    double* out = outputs[c];
    if (!out) continue;
    const double* in = c < nIn ? inputs[c] : nullptr;
    if (in) {
      if (in != out) std::memmove(out, in, sizeof(double) * static_cast<size_t>(nFrames));
    } else {
      std::fill(out, out + nFrames, 0.0);
    }
  }
}

void IPluginBase::ProcessMidiMessage(IMidiMessage* msg) { SendMidiMessage(msg); }

bool IPluginBase::GetMidiNoteName(int, char* name) {
  if (name) name[0] = '\0';
  return false;
}

bool IPluginBase::SerializeState(IStateChunk* chunk) { return SerializeParams(chunk); }

int IPluginBase::UnserializeState(IStateChunk* chunk, int startPos) { return UnserializeParams(chunk, startPos); }

void IPluginBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  IParameter* param = GetParam(paramIdx);
  if (!param) return;
  param->SetFromNormalized(normalizedValue);
  NotifyHostOfChange(paramIdx, normalizedValue);
  MarkParameterChanged(paramIdx);
  OnParameterChange(paramIdx);
}

void IPluginBase::SetParameterFromHost(int paramIdx, double normalizedValue) {
  IParameter* param = GetParam(paramIdx);
  if (!param || std::isnan(normalizedValue)) return;
  param->SetFromNormalized(normalizedValue);
  mParamGenerations[paramIdx].fetch_add(1, std::memory_order_release);
  MarkParameterChanged(paramIdx);
  OnParameterChange(paramIdx);
}

void IPluginBase::NotifyAllParameters() {
  for (int i = 0; i < NParams(); ++i) {
    MarkParameterChanged(i);
    OnParameterChange(i);
  }
}

void IPluginBase::MarkParameterChanged(int paramIdx) {
  CC_ASSERT(paramIdx >= 0 && paramIdx < kMaxParams);
  // The value stored before is what the audio thread reads after taking the bit. Sequentially consistent with
  // the audio thread's clearing of mHasChanges, so that a bit it misses always leaves the flag set.
  mChangedParams[paramIdx / 64].fetch_or(uint64_t{1} << (paramIdx % 64));
  mHasChanges.store(true);
}

// Reads like a sequence lock: the values are taken, then kept only if no load began meanwhile; otherwise every
// bit goes back for the next call. Writers of loads hold mLock, so they never overlap each other.
void IPluginBase::TakeParameterChanges() {
  const uint32_t sequence = mLoadSequence.load(std::memory_order_acquire);
  if (sequence & 1u) return;
  // Cleared before the bits are taken: a change marked from here on sets it again.
  mHasChanges.store(false);
  uint64_t taken[kChangeWords] = {};
  bool any = false;
  for (int w = 0; w < kChangeWords; ++w) {
    if (mChangedParams[w].load() == 0) continue;
    taken[w] = mChangedParams[w].exchange(0);
    any = any || taken[w] != 0;
  }
  if (!any) return;
  double values[kMaxParams];
  for (int w = 0; w < kChangeWords; ++w)
    for (uint64_t bits = taken[w]; bits; bits &= bits - 1) {
      const int idx = w * 64 + __builtin_ctzll(bits);
      values[idx] = idx < NParams() ? mParameters[size_t(idx)]->Value() : 0.0;
    }
  std::atomic_thread_fence(std::memory_order_acquire);
  if (mLoadSequence.load(std::memory_order_relaxed) != sequence) {
    for (int w = 0; w < kChangeWords; ++w)
      if (taken[w]) mChangedParams[w].fetch_or(taken[w]);
    mHasChanges.store(true);
    return;
  }
  for (int w = 0; w < kChangeWords; ++w)
    for (uint64_t bits = taken[w]; bits; bits &= bits - 1) {
      const int idx = w * 64 + __builtin_ctzll(bits);
      if (idx < NParams()) ApplyParameter(idx, values[idx]);
    }
}

void IPluginBase::PushParamsToEditor() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, mParameters[size_t(i)]->Value(), false);
}

void IPluginBase::AttachEditor(IEditorInterface* graphics) {
  if (!graphics) return;
  ScopedLock lock(mLock);
  for (int i = 0; i < NParams(); ++i) graphics->SetParameterFromPlug(i, mParameters[size_t(i)]->Normalized(), true);
  graphics->PrepareDrawing();
  mGraphics.reset(graphics);
}

bool IPluginBase::LegalIO(int nInputs, int nOutputs) const {
  for (const IChannelConfig& config : mChannelConfigs) {
    if ((nInputs < 0 || nInputs == config.mNumInputs) && (nOutputs < 0 || nOutputs == config.mNumOutputs))
      return true;
  }
  return false;
}

void IPluginBase::SetHost(const char* productText, int version) {
  mHostCode = IdentifyHost(productText);
  mHostVersion = version;
}

int IPluginBase::GetEffectVersion(bool decimal) const {
  if (!decimal) return mVersion;
  const uint32_t v = static_cast<uint32_t>(mVersion);
  return static_cast<int>(((v >> 16) * 100 + ((v >> 8) & 0xFF)) * 100 + (v & 0xFF));
}

IParameter* IPluginBase::GetParam(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= NParams()) return nullptr;
  return mParameters[static_cast<size_t>(paramIdx)].get();
}

bool IPluginBase::IsInChannelConnected(int channel) const {
  return channel >= 0 && channel < NInChannels() && mInputs[static_cast<size_t>(channel)].mConnected;
}

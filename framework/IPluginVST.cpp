#include "IPluginVST.h"

#include <cmath>
#include <cstring>

#include "HostIdentification.h"
#include "Text.h"

namespace {
VstInt32 ArrangementType(int numChannels) {
  switch (numChannels) {
    case 0: return kSpeakerArrEmpty;
    case 1: return kSpeakerArrMono;
    case 2: return kSpeakerArrStereo;
    default: return kSpeakerArrUserDefined;
  }
}
}  // namespace

IPluginVST::IPluginVST(audioMasterCallback hostCallback, int nParams, const char* channelIOString, int nPresets,
                       const char* effectName, const char* productName, const char* vendorName, int version,
                       int uniqueId, int vendorId, int latency, bool doesMidi, bool doesChunks, bool isInstrument)
    : IPluginBase(nParams, channelIOString, nPresets, effectName, productName, vendorName, version, uniqueId,
                  vendorId, latency, doesChunks, isInstrument),
      mHostCallback(hostCallback),
      mDoesMidi(doesMidi),
      mMidiOutput(hostCallback, &mEffect) {
  mEffect.magic = kEffectMagic;
  mEffect.dispatcher = VSTDispatcher;
  mEffect.process = VSTProcess;
  mEffect.setParameter = VSTSetParameter;
  mEffect.getParameter = VSTGetParameter;
  mEffect.numPrograms = NPresets();
  mEffect.numParams = nParams;
  mEffect.numInputs = NInChannels();
  mEffect.numOutputs = NOutChannels();
  mEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (doesChunks) mEffect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) mEffect.flags |= effFlagsCanMono;
  if (isInstrument) mEffect.flags |= effFlagsIsSynth;
  mEffect.initialDelay = latency;
  mEffect.ioRatio = 1.0f;
  mEffect.object = this;
  mEffect.uniqueID = uniqueId;
  mEffect.version = GetEffectVersion(true);
  mEffect.processReplacing = VSTProcessReplacing;
  mEffect.processDoubleReplacing = VSTProcessDoubleReplacing;

  mInputArrangement.numChannels = NInChannels();
  mInputArrangement.type = ArrangementType(NInChannels());
  mOutputArrangement.numChannels = NOutChannels();
  mOutputArrangement.type = ArrangementType(NOutChannels());
  SetInputsConnected(0, NInChannels(), true);
  SetOutputsConnected(0, NOutChannels(), true);
  SetBlockSize(1024);
}

IPluginVST::~IPluginVST() {
  mProgramState.Clear();
  mBankState.Clear();
}

IPluginVST* IPluginVST::FromEffect(AEffect* effect) {
  return effect ? static_cast<IPluginVST*>(effect->object) : nullptr;
}

VstIntPtr IPluginVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mHostCallback ? mHostCallback(&mEffect, opcode, index, value, ptr, opt) : 0;
}

// ---- Processing [audio thread, under mAudioLock] and parameters [any thread, no lock] ----

int IPluginVST::PrepareBlock(int nFrames) {
  if (nFrames < 0) nFrames = 0;
  // A host that breaks its announced block size must not make us write past the scratch buffers.
  if (nFrames > mBlockSize && ProcessesAudio()) SetBlockSize(nFrames);
  if (mDoesMidi) CallHost(audioMasterWantMidi);
  return nFrames;
}

void IPluginVST::ProcessSinglePrecision(float** inputs, float** outputs, VstInt32 nFrames, bool accumulate) {
  ScopedLock lock(mAudioLock);
  ApplyParameterChanges();
  const int frames = PrepareBlock(nFrames);
  mMidiOutput.BeginCall(frames);
  if (!ProcessesAudio()) {
    // The accumulating call adds nothing, so it leaves the host's outputs as they are.
    if (!accumulate) WriteSilence(outputs, frames);
    RunWithoutAudio(frames);
  } else {
    AttachInputBuffers(inputs, frames);
    AttachOutputBuffers(outputs);
    if (accumulate) {
      RunAccumulating(frames);
    } else {
      RunReplacing(frames, true);
      WriteSilence(outputs, frames, NConnectedOutputs());
    }
  }
  mMidiOutput.EndCall();
}

void IPluginVST::ProcessDoublePrecision(double** inputs, double** outputs, VstInt32 nFrames) {
  ScopedLock lock(mAudioLock);
  ApplyParameterChanges();
  const int frames = PrepareBlock(nFrames);
  mMidiOutput.BeginCall(frames);
  if (!ProcessesAudio()) {
    WriteSilence(outputs, frames);
    RunWithoutAudio(frames);
  } else {
    AttachInputBuffers(inputs);
    AttachOutputBuffers(outputs);
    RunReplacing(frames, false);
    WriteSilence(outputs, frames, NConnectedOutputs());
  }
  mMidiOutput.EndCall();
}

void IPluginVST::VSTProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames) {
  if (IPluginVST* plug = FromEffect(effect)) plug->ProcessSinglePrecision(inputs, outputs, nFrames, true);
}

void IPluginVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames) {
  if (IPluginVST* plug = FromEffect(effect)) plug->ProcessSinglePrecision(inputs, outputs, nFrames, false);
}

void IPluginVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, VstInt32 nFrames) {
  if (IPluginVST* plug = FromEffect(effect)) plug->ProcessDoublePrecision(inputs, outputs, nFrames);
}

// Lock-free: hosts call these from any thread, the audio thread among them.
float IPluginVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
  IPluginVST* plug = FromEffect(effect);
  const IParameter* param = plug ? plug->GetParam(index) : nullptr;
  return param ? static_cast<float>(param->Normalized()) : 0.0f;
}

void IPluginVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
  if (IPluginVST* plug = FromEffect(effect)) plug->SetParameterFromHost(index, value);
}

// ---- Editor ----

void IPluginVST::OnEditorResized(int, int) {
  if (!mGraphics) return;
  mEditorRect.top = 0;
  mEditorRect.left = 0;
  mEditorRect.right = static_cast<VstInt16>(mGraphics->Width());
  mEditorRect.bottom = static_cast<VstInt16>(mGraphics->Height());
}

void IPluginVST::AttachEditor(IEditorInterface* graphics) {
  if (!graphics) return;
  IPluginBase::AttachEditor(graphics);
  mEffect.flags |= effFlagsHasEditor;
  OnEditorResized(0, 0);
}

void IPluginVST::SetLatency(int samples) {
  mEffect.initialDelay = samples;
  IPluginBase::SetLatency(samples);
}

// ---- Host notifications ----

void IPluginVST::BeginHostEdit(int paramIdx) { CallHost(audioMasterBeginEdit, paramIdx); }

void IPluginVST::NotifyHostOfChange(int paramIdx, double normalizedValue) {
  CallHost(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalizedValue));
}

void IPluginVST::EndHostEdit(int paramIdx) { CallHost(audioMasterEndEdit, paramIdx); }

int IPluginVST::GetHostCode() {
  if (mHostCode == kHostUnknown) {
    char product[256] = {};
    CallHost(audioMasterGetProductString, 0, 0, product);
    product[sizeof(product) - 1] = '\0';
    int version = 0;
    if (product[0] != '\0') {
      const VstIntPtr d = CallHost(audioMasterGetVendorVersion);
      version = static_cast<int>((d / 10000) * 65536 + ((d % 10000) / 100) * 256 + d % 100);
    }
    SetHost(product, version);
  }
  return mHostCode;
}

void IPluginVST::InitForHost() {
  if (mHostInitDone) return;
  mHostInitDone = true;
  const int host = GetHostCode();
  if (host == 15 || host == 17 || host == 18 || host == 20) LimitToStereo();
  if (host == 5 || host == 9 || host == 15 || host == 17 || host == 18 || host == 20) AddStereoIO();
  mEffect.numInputs = mInputArrangement.numChannels = NInChannels();
  mEffect.numOutputs = mOutputArrangement.numChannels = NOutChannels();
}

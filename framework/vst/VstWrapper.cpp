#include "VstWrapper.h"

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

VstWrapper::VstWrapper(audioMasterCallback hostCallback, std::unique_ptr<IPluginBase> plugin)
    : mPlug(std::move(plugin)), mHostCallback(hostCallback), mMidiOutput(hostCallback, &mEffect) {
  IPluginBase& plug = *mPlug;
  plug.AttachHost(this);
  mEffect.magic = kEffectMagic;
  mEffect.dispatcher = VstDispatcher;
  mEffect.process = VstProcess;
  mEffect.setParameter = VstSetParameter;
  mEffect.getParameter = VstGetParameter;
  mEffect.numPrograms = plug.NPresets();
  mEffect.numParams = plug.NHostParams();
  mEffect.numInputs = plug.NInChannels();
  mEffect.numOutputs = plug.NOutChannels();
  mEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plug.DoesChunks()) mEffect.flags |= effFlagsProgramChunks;
  if (plug.LegalIO(1, -1)) mEffect.flags |= effFlagsCanMono;
  if (plug.IsInstrument()) mEffect.flags |= effFlagsIsSynth;
  if (plug.GetGraphics()) mEffect.flags |= effFlagsHasEditor;
  mEffect.initialDelay = plug.Latency();
  mEffect.ioRatio = 1.0f;
  mEffect.object = this;
  mEffect.uniqueID = plug.UniqueId();
  mEffect.version = plug.GetEffectVersion(true);
  mEffect.processReplacing = VstProcessReplacing;
  mEffect.processDoubleReplacing = VstProcessDoubleReplacing;
  UpdateEditorRect();

  mInputArrangement.numChannels = plug.NInChannels();
  mInputArrangement.type = ArrangementType(plug.NInChannels());
  mOutputArrangement.numChannels = plug.NOutChannels();
  mOutputArrangement.type = ArrangementType(plug.NOutChannels());
  plug.SetInputsConnected(0, plug.NInChannels(), true);
  plug.SetOutputsConnected(0, plug.NOutChannels(), true);
  plug.SetBlockSize(1024);
}

VstWrapper::~VstWrapper() {
  mProgramState.Clear();
  mBankState.Clear();
  // The editor goes first: it may still tell the host about its values while the plug-in is torn down.
  mPlug.reset();
}

VstWrapper* VstWrapper::FromEffect(AEffect* effect) {
  return effect ? static_cast<VstWrapper*>(effect->object) : nullptr;
}

VstIntPtr VstWrapper::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mHostCallback ? mHostCallback(&mEffect, opcode, index, value, ptr, opt) : 0;
}

// ---- Processing [audio thread, under the audio lock] and parameters [any thread, no lock] ----

int VstWrapper::PrepareBlock(int nFrames) {
  if (nFrames < 0) nFrames = 0;
  // A host that breaks its announced block size must not make us write past the scratch buffers.
  if (nFrames > mPlug->GetBlockSize() && mPlug->ProcessesAudio()) mPlug->SetBlockSize(nFrames);
  if (mPlug->DoesMidi()) CallHost(audioMasterWantMidi);
  return nFrames;
}

void VstWrapper::ProcessSinglePrecision(float** inputs, float** outputs, VstInt32 nFrames, bool accumulate) {
  ScopedLock lock(mPlug->AudioLock());
  mPlug->ApplyParameterChanges();
  const int frames = PrepareBlock(nFrames);
  mMidiOutput.BeginCall(frames);
  if (!mPlug->ProcessesAudio()) {
    // The accumulating call adds nothing, so it leaves the host's outputs as they are.
    if (!accumulate) mPlug->WriteSilence(outputs, frames);
    mPlug->RunWithoutAudio(frames);
  } else {
    mPlug->AttachInputBuffers(inputs, frames);
    mPlug->AttachOutputBuffers(outputs);
    if (accumulate) {
      mPlug->RunAccumulating(frames);
    } else {
      mPlug->RunReplacing(frames, true);
      mPlug->WriteSilence(outputs, frames, mPlug->NConnectedOutputs());
    }
  }
  mMidiOutput.EndCall();
}

void VstWrapper::ProcessDoublePrecision(double** inputs, double** outputs, VstInt32 nFrames) {
  ScopedLock lock(mPlug->AudioLock());
  mPlug->ApplyParameterChanges();
  const int frames = PrepareBlock(nFrames);
  mMidiOutput.BeginCall(frames);
  if (!mPlug->ProcessesAudio()) {
    mPlug->WriteSilence(outputs, frames);
    mPlug->RunWithoutAudio(frames);
  } else {
    mPlug->AttachInputBuffers(inputs);
    mPlug->AttachOutputBuffers(outputs);
    mPlug->RunReplacing(frames, false);
    mPlug->WriteSilence(outputs, frames, mPlug->NConnectedOutputs());
  }
  mMidiOutput.EndCall();
}

void VstWrapper::VstProcess(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames) {
  if (VstWrapper* plug = FromEffect(effect)) plug->ProcessSinglePrecision(inputs, outputs, nFrames, true);
}

void VstWrapper::VstProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 nFrames) {
  if (VstWrapper* plug = FromEffect(effect)) plug->ProcessSinglePrecision(inputs, outputs, nFrames, false);
}

void VstWrapper::VstProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, VstInt32 nFrames) {
  if (VstWrapper* plug = FromEffect(effect)) plug->ProcessDoublePrecision(inputs, outputs, nFrames);
}

// Lock-free: hosts call these from any thread, the audio thread among them.
float VstWrapper::VstGetParameter(AEffect* effect, VstInt32 index) {
  VstWrapper* plug = FromEffect(effect);
  const IParameter* param = plug ? plug->mPlug->GetParam(index) : nullptr;
  return param ? static_cast<float>(param->Normalized()) : 0.0f;
}

void VstWrapper::VstSetParameter(AEffect* effect, VstInt32 index, float value) {
  if (VstWrapper* plug = FromEffect(effect)) plug->mPlug->SetParameterFromHost(index, value);
}

// ---- Editor ----

void VstWrapper::OnEditorResized(int width, int height) {
  UpdateEditorRect();
  // Hosts that can resize their frame answer 1; the others keep it, and the editor shows what fits.
  CallHost(audioMasterSizeWindow, width, height);
}

void VstWrapper::UpdateEditorRect() {
  const IEditorInterface* graphics = mPlug->GetGraphics();
  if (!graphics) return;
  mEditorRect.top = 0;
  mEditorRect.left = 0;
  mEditorRect.right = static_cast<VstInt16>(graphics->WindowWidth());
  mEditorRect.bottom = static_cast<VstInt16>(graphics->WindowHeight());
}

// ---- Host notifications ----

void VstWrapper::BeginHostEdit(int paramIdx) { CallHost(audioMasterBeginEdit, paramIdx); }

void VstWrapper::NotifyHostOfChange(int paramIdx, double normalizedValue) {
  CallHost(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalizedValue));
}

void VstWrapper::EndHostEdit(int paramIdx) { CallHost(audioMasterEndEdit, paramIdx); }

void VstWrapper::InitForHost() {
  if (mHostInitDone) return;
  mHostInitDone = true;
  char product[256] = {};
  CallHost(audioMasterGetProductString, 0, 0, product);
  product[sizeof(product) - 1] = '\0';
  int version = 0;
  if (product[0] != '\0') {
    const VstIntPtr d = CallHost(audioMasterGetVendorVersion);
    version = static_cast<int>((d / 10000) * 65536 + ((d % 10000) / 100) * 256 + d % 100);
  }
  mPlug->SetHost(product, version);
  const int host = mPlug->GetHostCode();
  if (host == 15 || host == 17 || host == 18 || host == 20) mPlug->LimitToStereo();
  if (host == 5 || host == 9 || host == 15 || host == 17 || host == 18 || host == 20) mPlug->AddStereoIO();
  mEffect.numInputs = mInputArrangement.numChannels = mPlug->NInChannels();
  mEffect.numOutputs = mOutputArrangement.numChannels = mPlug->NOutChannels();
}

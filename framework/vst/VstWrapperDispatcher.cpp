// The wrapper's dispatcher: every opcode the host may send [control thread; effProcessEvents: audio thread].
#include <cmath>
#include <cstdio>
#include <cstring>

#include "VstWrapper.h"
#include "Text.h"

namespace {
// Texts handed to host buffers stay within the sizes the interface promises.
constexpr size_t kHostParamTextSize = kParamTextSize;
constexpr size_t kHostProgramNameSize = kVstMaxProgNameLen;
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
}  // namespace

VstIntPtr VstWrapper::VstDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
  VstWrapper* plug = FromEffect(effect);
  if (!plug) return 0;
  if (opcode == effClose) {
    // An editor window runs its own thread, which calls into the plug-in: it must be gone before any of the
    // object is. Not under the lock, which that thread may be waiting for.
    if (plug->mPlug->GetGraphics()) plug->mPlug->GetGraphics()->CloseWindow();
    // The locks die with the object, so nobody may hold them while we go.
    plug->mPlug->Lock().Enter();
    plug->mPlug->Lock().Leave();
    plug->mPlug->AudioLock().Enter();
    plug->mPlug->AudioLock().Leave();
    effect->object = nullptr;
    delete plug;
    return 0;
  }
  if (opcode == effEditIdle || opcode == effIdle) return 0;
  if (opcode == effProcessEvents) {
    ScopedLock lock(plug->mPlug->AudioLock());
    plug->mPlug->ApplyParameterChanges();
    return plug->ProcessEvents(static_cast<const VstEvents*>(ptr));
  }
  ScopedLock lock(plug->mPlug->Lock());
  // What processing reads of the channels, the rate and the block size changes only between processing calls.
  const bool audioSide = opcode == effSetSampleRate || opcode == effSetBlockSize || opcode == effMainsChanged ||
                         opcode == effSetSpeakerArrangement || opcode == effConnectInput ||
                         opcode == effConnectOutput;
  if (audioSide) {
    ScopedLock audio(plug->mPlug->AudioLock());
    return plug->Dispatch(opcode, index, value, ptr, opt);
  }
  return plug->Dispatch(opcode, index, value, ptr, opt);
}

VstIntPtr VstWrapper::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen:
      InitForHost();
      mPlug->NotifyAllParameters();
      return 0;
    case effSetProgram:
    case effGetProgram:
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return DispatchPrograms(opcode, index, value, ptr);
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effVendorSpecific:
      return DispatchParameterText(opcode, index, value, ptr, opt);
    case effSetSampleRate:
      // Delays are computed from the rate, so only a real one is accepted.
      if (!(opt > 0.0f) || !std::isfinite(opt)) return 0;
      mPlug->SetSampleRate(opt);
      mPlug->Reset();
      return 0;
    case effSetBlockSize:
      mPlug->SetBlockSize(value > 0 && value <= (1 << 24) ? static_cast<int>(value) : mPlug->GetBlockSize());
      mPlug->Reset();
      return 0;
    case effMainsChanged:
      if (value) {
        mPlug->OnActivate(true);
      } else {
        mPlug->OnActivate(false);
        mPlug->Reset();
      }
      return 0;
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
      return DispatchEditor(opcode, ptr);
    case effIdentify:
      return kEffectIdentify;
    case effGetChunk:
      return GetChunk(index, static_cast<void**>(ptr));
    case effSetChunk:
      return SetChunk(index, value, ptr);
    case effCanBeAutomated:
      return 1;
    case effGetInputProperties:
      return GetPinProperties(index, static_cast<VstPinProperties*>(ptr), true);
    case effGetOutputProperties:
      return GetPinProperties(index, static_cast<VstPinProperties*>(ptr), false);
    case effGetPlugCategory:
      return mPlug->IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement:
      return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                   static_cast<const VstSpeakerArrangement*>(ptr));
    case effGetEffectName:
      if (!ptr) return 0;
      CopyText(static_cast<char*>(ptr), kVstMaxEffectNameLen, mPlug->EffectName());
      return 1;
    case effGetVendorString:
      if (!ptr) return 0;
      CopyText(static_cast<char*>(ptr), kVstMaxVendorStrLen, mPlug->VendorName());
      return 1;
    case effGetProductString:
      if (!ptr) return 0;
      CopyText(static_cast<char*>(ptr), kVstMaxProductStrLen, mPlug->ProductName());
      return 1;
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetVstVersion:
      return kVstVersion;
    // Hosts show this one as the plug-in's version, so it is the same number as AEffect::version.
    case effGetVendorVersion:
      return mPlug->GetEffectVersion(true);
    case effGetMidiKeyName: {
      MidiKeyName* key = static_cast<MidiKeyName*>(ptr);
      if (!key) return 0;
      key->keyName[0] = '\0';
      return mPlug->GetMidiNoteName(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputArrangement;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputArrangement;
      return 1;
    default:
      return 0;
  }
}

VstIntPtr VstWrapper::DispatchEditor(VstInt32 opcode, void* ptr) {
  if (!mPlug->GetGraphics()) return 0;
  switch (opcode) {
    case effEditGetRect:
      if (!ptr) return 0;
      // The size at the scale the editor has now.
      UpdateEditorRect();
      *static_cast<ERect**>(ptr) = &mEditorRect;
      return 1;
    case effEditOpen:
      if (!mPlug->GetGraphics()->OpenWindow(ptr)) return 0;
      mPlug->OnEditorOpen();
      return 1;
    default:  // effEditClose
      mPlug->OnEditorClose();
      mPlug->GetGraphics()->CloseWindow();
      return 1;
  }
}

VstIntPtr VstWrapper::DispatchPrograms(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
  switch (opcode) {
    case effSetProgram:
      if (!mPlug->DoesChunks()) mPlug->StoreCurrentPreset(nullptr);
      if (value >= 0 && value < mPlug->NPresets()) mPlug->RestorePreset(static_cast<int>(value));
      return 0;
    case effGetProgram:
      return mPlug->GetCurrentPreset();
    case effSetProgramName:
      if (ptr) mPlug->StoreCurrentPreset(static_cast<const char*>(ptr));
      return 0;
    case effGetProgramName:
      if (ptr) CopyText(static_cast<char*>(ptr), kHostProgramNameSize, mPlug->GetPresetName(mPlug->GetCurrentPreset()));
      return 0;
    default: {  // effGetProgramNameIndexed
      if (!ptr) return 0;
      char* out = static_cast<char*>(ptr);
      CopyText(out, kHostProgramNameSize, mPlug->GetPresetName(index));
      return out[0] != '\0' ? 1 : 0;
    }
  }
}

VstIntPtr VstWrapper::DispatchParameterText(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* out = static_cast<char*>(ptr);
  if (opcode == effVendorSpecific) {
    if (index != effGetParamDisplay || !out) return 0;
    const IParameter* param = value >= 0 && value < mPlug->NParams() ? mPlug->GetParam(static_cast<int>(value)) : nullptr;
    if (param) param->FormatDisplay(opt, true, out);
    return kVendorSpecificAnswer;
  }
  const IParameter* param = mPlug->GetParam(index);
  if (!param || !out) return 0;
  if (opcode == effGetParamLabel) {
    CopyText(out, kHostParamTextSize, param->Label());
  } else if (opcode == effGetParamName) {
    CopyText(out, kHostParamTextSize, param->Name());
  } else {
    param->FormatCurrentDisplay(out);
  }
  return 0;
}

VstIntPtr VstWrapper::CanDo(const char* question) const {
  if (!question) return 0;
  if (std::strcmp(question, "receiveVstTimeInfo") == 0) return 1;
  static const char* const kMidiQuestions[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                               "receiveVstMidiEvent"};
  for (const char* midiQuestion : kMidiQuestions)
    if (std::strcmp(question, midiQuestion) == 0) return mPlug->DoesMidi() ? 1 : 0;
  return 0;
}

VstIntPtr VstWrapper::GetChunk(VstInt32 index, void** data) {
  if (!data) return 0;
  const bool bank = index == 0;
  IStateChunk& chunk = bank ? mBankState : mProgramState;
  mPlug->BeginStateChunk(&chunk);
  if (bank) mPlug->StoreCurrentPreset(nullptr);
  if (!mPlug->SerializeState(&chunk) || chunk.Size() == 0) return 0;
  *data = chunk.Data();
  return chunk.Size();
}

VstIntPtr VstWrapper::SetChunk(VstInt32 index, VstIntPtr size, const void* data) {
  if (!data || size < 0 || size > (1 << 30)) return 0;
  const bool bank = index == 0;
  IStateChunk& chunk = bank ? mBankState : mProgramState;
  chunk.Resize(static_cast<int>(size));
  if (size > 0) std::memcpy(chunk.Data(), data, static_cast<size_t>(size));
  int position = 0;
  const int version = mPlug->ReadChunkVersion(&chunk, &position);
  const int end = mPlug->UnserializeState(&chunk, position);
  if (!(bank && version >= kChunkVersion)) mPlug->StoreCurrentPreset(nullptr);
  if (end < 0) return 0;
  mPlug->PushParamsToEditor();
  return 1;
}

VstIntPtr VstWrapper::GetPinProperties(VstInt32 index, VstPinProperties* properties, bool input) const {
  const int count = input ? mPlug->NInChannels() : mPlug->NOutChannels();
  if (!properties || index < 0 || index >= count) return 0;
  properties->flags = kVstPinIsActive;
  if (index % 2 == 0 && index < count - 1) properties->flags |= kVstPinIsStereo;
  std::snprintf(properties->label, sizeof(properties->label), input ? "Input %d" : "Output %d", index + 1);
  return 1;
}

VstIntPtr VstWrapper::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                            const VstSpeakerArrangement* outputs) {
  if (inputs) {
    const int n = inputs->numChannels < 0 ? 0 : inputs->numChannels;
    mPlug->SetInputsConnected(0, n, true);
    mPlug->SetInputsConnected(n, mPlug->NInChannels() - n, false);
  }
  if (outputs) {
    const int n = outputs->numChannels < 0 ? 0 : outputs->numChannels;
    mPlug->SetOutputsConnected(0, n, true);
    mPlug->SetOutputsConnected(n, mPlug->NOutChannels() - n, false);
  }
  return 1;
}

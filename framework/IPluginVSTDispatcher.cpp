// The adapter's dispatcher: every opcode the host may send [control thread; effProcessEvents: audio thread].
#include <cmath>
#include <cstdio>
#include <cstring>

#include "IPluginVST.h"
#include "Text.h"

namespace {
// Texts handed to host buffers stay within the sizes the interface promises.
constexpr size_t kHostParamTextSize = kParamTextSize;
constexpr size_t kHostProgramNameSize = kVstMaxProgNameLen;
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
}  // namespace

VstIntPtr IPluginVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
  IPluginVST* plug = FromEffect(effect);
  if (!plug) return 0;
  if (opcode == effClose) {
    // An editor window runs its own thread, which calls into the plug-in: it must be gone before any of the
    // object is. Not under the lock, which that thread may be waiting for.
    if (plug->mGraphics) plug->mGraphics->CloseWindow();
    // The locks die with the object, so nobody may hold them while we go.
    plug->mLock.Enter();
    plug->mLock.Leave();
    plug->mAudioLock.Enter();
    plug->mAudioLock.Leave();
    effect->object = nullptr;
    delete plug;
    return 0;
  }
  if (opcode == effEditIdle || opcode == effIdle) return 0;
  if (opcode == effProcessEvents) {
    ScopedLock lock(plug->mAudioLock);
    plug->ApplyParameterChanges();
    return plug->ProcessEvents(static_cast<const VstEvents*>(ptr));
  }
  ScopedLock lock(plug->mLock);
  // What processing reads of the channels, the rate and the block size changes only between processing calls.
  const bool audioSide = opcode == effSetSampleRate || opcode == effSetBlockSize || opcode == effMainsChanged ||
                         opcode == effSetSpeakerArrangement || opcode == effConnectInput ||
                         opcode == effConnectOutput;
  if (audioSide) {
    ScopedLock audio(plug->mAudioLock);
    return plug->Dispatch(opcode, index, value, ptr, opt);
  }
  return plug->Dispatch(opcode, index, value, ptr, opt);
}

VstIntPtr IPluginVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effOpen:
      InitForHost();
      NotifyAllParameters();
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
      SetSampleRate(opt);
      Reset();
      return 0;
    case effSetBlockSize:
      SetBlockSize(value > 0 && value <= (1 << 24) ? static_cast<int>(value) : GetBlockSize());
      Reset();
      return 0;
    case effMainsChanged:
      if (value) {
        OnActivate(true);
      } else {
        OnActivate(false);
        Reset();
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
      return mIsInstrument ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement:
      return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                   static_cast<const VstSpeakerArrangement*>(ptr));
    case effGetEffectName:
      if (!ptr) return 0;
      CopyText(static_cast<char*>(ptr), kVstMaxEffectNameLen, mEffectName);
      return 1;
    case effGetVendorString:
      if (!ptr) return 0;
      CopyText(static_cast<char*>(ptr), kVstMaxVendorStrLen, mVendorName);
      return 1;
    case effGetProductString:
      if (!ptr) return 0;
      CopyText(static_cast<char*>(ptr), kVstMaxProductStrLen, mProductName);
      return 1;
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetVstVersion:
      return kVstVersion;
    case effGetMidiKeyName: {
      MidiKeyName* key = static_cast<MidiKeyName*>(ptr);
      if (!key) return 0;
      key->keyName[0] = '\0';
      return GetMidiNoteName(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputArrangement;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputArrangement;
      return 1;
    default:
      return 0;
  }
}

VstIntPtr IPluginVST::DispatchEditor(VstInt32 opcode, void* ptr) {
  if (!mGraphics) return 0;
  switch (opcode) {
    case effEditGetRect:
      if (!ptr) return 0;
      *static_cast<ERect**>(ptr) = &mEditorRect;
      return 1;
    case effEditOpen:
      if (!mGraphics->OpenWindow(ptr)) return 0;
      OnEditorOpen();
      return 1;
    default:  // effEditClose
      OnEditorClose();
      mGraphics->CloseWindow();
      return 1;
  }
}

VstIntPtr IPluginVST::DispatchPrograms(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
  switch (opcode) {
    case effSetProgram:
      if (!mDoesChunks) StoreCurrentPreset(nullptr);
      if (value >= 0 && value < NPresets()) RestorePreset(static_cast<int>(value));
      return 0;
    case effGetProgram:
      return mCurrentPreset;
    case effSetProgramName:
      if (ptr) StoreCurrentPreset(static_cast<const char*>(ptr));
      return 0;
    case effGetProgramName:
      if (ptr) CopyText(static_cast<char*>(ptr), kHostProgramNameSize, GetPresetName(mCurrentPreset));
      return 0;
    default: {  // effGetProgramNameIndexed
      if (!ptr) return 0;
      char* out = static_cast<char*>(ptr);
      CopyText(out, kHostProgramNameSize, GetPresetName(index));
      return out[0] != '\0' ? 1 : 0;
    }
  }
}

VstIntPtr IPluginVST::DispatchParameterText(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* out = static_cast<char*>(ptr);
  if (opcode == effVendorSpecific) {
    if (index != effGetParamDisplay || !out) return 0;
    const IParameter* param = value >= 0 && value < NParams() ? GetParam(static_cast<int>(value)) : nullptr;
    if (param) param->FormatDisplay(opt, true, out);
    return kVendorSpecificAnswer;
  }
  const IParameter* param = GetParam(index);
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

VstIntPtr IPluginVST::CanDo(const char* question) const {
  if (!question) return 0;
  if (std::strcmp(question, "receiveVstTimeInfo") == 0) return 1;
  static const char* const kMidiQuestions[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                               "receiveVstMidiEvent"};
  for (const char* midiQuestion : kMidiQuestions)
    if (std::strcmp(question, midiQuestion) == 0) return mDoesMidi ? 1 : 0;
  return 0;
}

VstIntPtr IPluginVST::GetChunk(VstInt32 index, void** data) {
  if (!data) return 0;
  const bool bank = index == 0;
  IStateChunk& chunk = bank ? mBankState : mProgramState;
  BeginStateChunk(&chunk);
  if (bank) StoreCurrentPreset(nullptr);
  if (!SerializeState(&chunk) || chunk.Size() == 0) return 0;
  *data = chunk.Data();
  return chunk.Size();
}

VstIntPtr IPluginVST::SetChunk(VstInt32 index, VstIntPtr size, const void* data) {
  if (!data || size < 0 || size > (1 << 30)) return 0;
  const bool bank = index == 0;
  IStateChunk& chunk = bank ? mBankState : mProgramState;
  chunk.Resize(static_cast<int>(size));
  if (size > 0) std::memcpy(chunk.Data(), data, static_cast<size_t>(size));
  int position = 0;
  const int version = ReadChunkVersion(&chunk, &position);
  const int end = UnserializeState(&chunk, position);
  if (!(bank && version >= kChunkVersion)) StoreCurrentPreset(nullptr);
  if (end < 0) return 0;
  PushParamsToEditor();
  return 1;
}

VstIntPtr IPluginVST::GetPinProperties(VstInt32 index, VstPinProperties* properties, bool input) const {
  const int count = input ? NInChannels() : NOutChannels();
  if (!properties || index < 0 || index >= count) return 0;
  properties->flags = kVstPinIsActive;
  if (index % 2 == 0 && index < count - 1) properties->flags |= kVstPinIsStereo;
  std::snprintf(properties->label, sizeof(properties->label), input ? "Input %d" : "Output %d", index + 1);
  return 1;
}

VstIntPtr IPluginVST::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                            const VstSpeakerArrangement* outputs) {
  if (inputs) {
    const int n = inputs->numChannels < 0 ? 0 : inputs->numChannels;
    SetInputsConnected(0, n, true);
    SetInputsConnected(n, NInChannels() - n, false);
  }
  if (outputs) {
    const int n = outputs->numChannels < 0 ? 0 : outputs->numChannels;
    SetOutputsConnected(0, n, true);
    SetOutputsConnected(n, NOutChannels() - n, false);
  }
  return 1;
}

// The LV2 state interface: the same chunk bytes a VST host stores, and the current program [control thread].
#include <cstring>

#include "Lv2Wrapper.h"

namespace {
// As for effSetChunk: no host hands over a gigabyte of parameters.
constexpr uint32_t kLargestChunk = 1u << 30;
}  // namespace

LV2_State_Status Lv2Wrapper::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!store || !mURIDs.stateChunk) return LV2_STATE_ERR_UNKNOWN;
  ScopedLock lock(mPlug->Lock());
  // The chunk of a VST program request: header and parameter block, the bytes a preset file holds.
  IStateChunk chunk;
  mPlug->BeginStateChunk(&chunk);
  if (!mPlug->SerializeState(&chunk) || chunk.Size() == 0) return LV2_STATE_ERR_UNKNOWN;
  const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  LV2_State_Status status = store(handle, mURIDs.stateChunk, chunk.Data(), static_cast<size_t>(chunk.Size()),
                                  mURIDs.atomChunk, flags);
  if (status != LV2_STATE_SUCCESS) return status;
  const int32_t program = mPlug->GetCurrentPreset();
  return store(handle, mURIDs.stateProgram, &program, sizeof(program), mURIDs.atomInt, flags);
}

LV2_State_Status Lv2Wrapper::RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!retrieve || !mURIDs.stateChunk) return LV2_STATE_ERR_UNKNOWN;
  ScopedLock lock(mPlug->Lock());
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  // The program first, as effSetProgram: the chunk then lands in that program, as a program chunk does.
  const void* programData = retrieve(handle, mURIDs.stateProgram, &size, &type, &flags);
  if (programData && type == mURIDs.atomInt && size == sizeof(int32_t)) {
    int32_t program = 0;
    std::memcpy(&program, programData, sizeof(program));
    if (program >= 0 && program < mPlug->NPresets()) {
      if (!mPlug->DoesChunks()) mPlug->StoreCurrentPreset(nullptr);
      mPlug->RestorePreset(program);
    }
  }

  const void* data = retrieve(handle, mURIDs.stateChunk, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mURIDs.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  if (size > kLargestChunk) return LV2_STATE_ERR_UNKNOWN;
  // Any bytes at all are read as effSetChunk reads them: parameters that the bytes hold are set, clamped
  // into their ranges, and a short chunk is a failure after those.
  IStateChunk chunk;
  chunk.Resize(static_cast<int>(size));
  if (size > 0) std::memcpy(chunk.Data(), data, size);
  int position = 0;
  mPlug->ReadChunkVersion(&chunk, &position);
  const int end = mPlug->UnserializeState(&chunk, position);
  mPlug->StoreCurrentPreset(nullptr);
  // The restored values are the newest setting: what the control ports hold now is no change to apply over
  // them. A host that restores port values with the state writes them afterwards, and those are changes.
  {
    ScopedLock audio(mPlug->AudioLock());  // run() reads these
    for (size_t k = 0; k < mControlPorts.size(); ++k)
      if (mControlPorts[k]) mLastControl[k] = *mControlPorts[k];
  }
  // The editor shows what the parameters hold, also after a chunk that was cut short.
  mPlug->PushParamsToEditor();
  return end < 0 ? LV2_STATE_ERR_UNKNOWN : LV2_STATE_SUCCESS;
}

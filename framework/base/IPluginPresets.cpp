// Parameter serialisation and the program slots of the plug-in base.
#include <cstdio>
#include <cstring>

#include "IPluginBase.h"
#include "Text.h"

bool IPluginBase::SerializeParams(IStateChunk* chunk) {
  ScopedLock lock(mLock);
  for (int i = 0; i < mNumParams; ++i) {
    if (chunk->AppendReal64(mParameters[static_cast<size_t>(i)]->Value()) <= 0) return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(IStateChunk* chunk, int startPos) {
  ScopedLock lock(mLock);
  // The audio thread takes none of these values until all are written.
  mLoadSequence.fetch_add(1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  int position = startPos;
  for (int i = 0; i < mNumParams && position >= 0; ++i) {
    double v = 0.0;
    position = chunk->ReadReal64(&v, position);
    // A chunk cut inside a value says nothing about it: that parameter and the rest keep theirs.
    if (position < 0) break;
    mParameters[static_cast<size_t>(i)]->SetClamped(v);
    mParamGenerations[i].fetch_add(1, std::memory_order_release);
  }
  NotifyAllParameters();
  mLoadSequence.fetch_add(1, std::memory_order_release);
  return position;
}

void IPluginBase::BeginStateChunk(IStateChunk* chunk) {
  chunk->Clear();
  chunk->AppendInt32(kChunkMagic);
  chunk->AppendInt32(kChunkVersion);
}

int IPluginBase::ReadChunkVersion(IStateChunk* chunk, int* position) {
  int32_t magic = 0;
  const int afterMagic = chunk->ReadInt32(&magic, *position);
  if (afterMagic < 0 || magic != kChunkMagic) return 0;
  int32_t version = 0;
  *position = chunk->ReadInt32(&version, afterMagic);
  return *position < 0 ? 0 : version;
}

void IPluginBase::EnsurePresetSlot() {
  if (!mPresetSlots.empty()) return;
  mPresetSlots.emplace_back();
  CopyText(mPresetSlots.back().mName, kPresetNameSize, "- 1 -");
  FillPresetSlots(nullptr, 1);
}

void IPluginBase::FillPresetSlots(const char* name, int count) {
  for (int n = 0; n < count; ++n) {
    IPresetSlot* slot = nullptr;
    for (IPresetSlot& candidate : mPresetSlots) {
      if (!candidate.mInitialized) {
        slot = &candidate;
        break;
      }
    }
    if (!slot) return;
    slot->mInitialized = true;
    CopyText(slot->mName, kPresetNameSize, name ? name : "Default");
    SerializeParams(&slot->mChunk);
  }
}

bool IPluginBase::RestorePreset(int index) {
  if (index < 0 || index >= NPresets()) return false;
  IPresetSlot& slot = mPresetSlots[static_cast<size_t>(index)];
  bool ok;
  if (slot.mInitialized) {
    ok = UnserializeParams(&slot.mChunk, 0) > 0;
  } else {
    slot.mInitialized = true;
    MakeUserPresetName(slot.mName);
    ok = SerializeParams(&slot.mChunk);
  }
  if (ok) {
    mCurrentPreset = index;
    PushParamsToEditor();
  }
  return ok;
}

void IPluginBase::StoreCurrentPreset(const char* name) {
  if (mCurrentPreset < 0 || mCurrentPreset >= NPresets()) return;
  IPresetSlot& slot = mPresetSlots[static_cast<size_t>(mCurrentPreset)];
  slot.mChunk.Clear();
  SerializeParams(&slot.mChunk);
  if (name && name[0] != '\0') CopyText(slot.mName, kPresetNameSize, name);
}

const char* IPluginBase::GetPresetName(int index) const {
  if (index < 0 || index >= NPresets()) return "";
  return mPresetSlots[static_cast<size_t>(index)].mName;
}

void IPluginBase::MakeUserPresetName(char* out) const {
  int count = 0;
  for (const IPresetSlot& slot : mPresetSlots)
    if (std::strstr(slot.mName, "user preset")) ++count;
  std::snprintf(out, kPresetNameSize, "%s %d", "user preset", count + 1);
}

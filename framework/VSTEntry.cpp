#include "VSTEntry.h"

#include "IPluginVST.h"
#include "RecursiveLock.h"

namespace {
RecursiveLock& CreationLock() {
  static RecursiveLock lock;  // made on first use, gone with the process
  return lock;
}
}  // namespace

AEffect* VSTCreateEffect(audioMasterCallback hostCallback, PluginFactory factory) {
  ScopedLock lock(CreationLock());
  IPluginVST* plug = nullptr;
  try {
    plug = factory ? factory(hostCallback) : nullptr;
  } catch (...) {
    // Out of memory while building: the host gets null, never an exception.
    plug = nullptr;
  }
  if (!plug) return nullptr;
  plug->EnsurePresetSlot();
  AEffect* effect = plug->GetAEffect();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}
